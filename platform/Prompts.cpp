#include "platform/Prompts.h"

#include <filesystem>
#include <system_error>

std::string boxTitle(BoxType type) {
    switch (type) {
        case BoxType::Warning:
            return "Warning";
        case BoxType::Error:
            return "Error";
        case BoxType::Information:
            return "Information";
        case BoxType::Confirm:
            return "Confirm";
        case BoxType::Application:
            break;
    }
    return ApplicationTitle;
}

bool Prompts::runOpenDialog(FileDialogSettings& dialog) {
    return accept(dialog, askOpenFileName(dialog));
}

bool Prompts::runSaveDialog(FileDialogSettings& dialog) {
    return accept(dialog, askSaveFileName(dialog));
}

bool Prompts::runTask(const std::string& title, const std::function<void(TaskProgress&)>& task) {
    try {
        showProgress(title, task);
    } catch (const TaskCancelled&) {
        return false;
    }
    return true;
}

bool Prompts::accept(FileDialogSettings& dialog, const std::optional<std::string>& chosen) {
    if (!chosen) {
        return false;
    }
    dialog.fileName = *chosen;
    const std::filesystem::path folder = std::filesystem::path(*chosen).parent_path();
    std::error_code ignored;
    if (!folder.empty()) {
        std::filesystem::current_path(folder, ignored);
    }
    return true;
}
