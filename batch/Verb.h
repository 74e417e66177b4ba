#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "batch/BatchCommands.h"

namespace batch {

// One verb of the command line. Building it declares its options on the parser; once the
// line is parsed, the chosen verb completes its request from them and runs it.
class Verb {
public:
    virtual ~Verb() = default;
    Verb(const Verb&) = delete;
    Verb& operator=(const Verb&) = delete;

    bool chosen() const { return m_command->parsed(); }
    virtual int run(Console& console, const Actions& actions) = 0;

protected:
    Verb(CLI::App& app, const std::string& name, const std::string& description)
        : m_command(app.add_subcommand(name, description)) {}
    CLI::App& command() const { return *m_command; }

private:
    CLI::App* m_command;
};

}  // namespace batch
