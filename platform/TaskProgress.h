#pragma once

// A long task tells how far it has come and learns whether the user gave up on it. The
// window shows it in a progress dialog with a Cancel button; the batch command has no one to
// cancel.

#include <string>

class TaskProgress {
public:
    virtual ~TaskProgress() = default;

    // A new stage of the task with `steps` steps ahead; 0 when their number is unknown.
    virtual void stage(const std::string& text, long long steps) = 0;
    // May be called from any worker.
    virtual void advance() = 0;
    // The stage has come to `done` of its steps, as the one who can tell says (a reader's
    // place in its file).
    virtual void advanceTo(long long done) = 0;
    virtual bool cancelled() const = 0;

    // Throws TaskCancelled once the user has given up.
    void checkCancelled() const;
};

// Ends a task that was cancelled; the one who ran the task catches it.
struct TaskCancelled {};

// Nobody watches and nobody cancels.
class SilentProgress : public TaskProgress {
public:
    void stage(const std::string&, long long) override {}
    void advance() override {}
    void advanceTo(long long) override {}
    bool cancelled() const override { return false; }
};
