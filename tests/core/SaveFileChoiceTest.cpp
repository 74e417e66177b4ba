#include "store/SaveFileChoice.h"

#include <gtest/gtest.h>

#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestFiles.h"

namespace {
const std::string SaveQuestion = "Do you want to save distances?";
std::string replaceQuestion(const std::string& name) {
    return "File [" + name + "] exists.... Do you want to replace it?";
}
}  // namespace

TEST(ChooseFileToWrite, NoOrACancelledDialogChoosesNothing) {
    ScriptedPrompts prompts;
    FileDialogSettings dialog;
    std::string name = "left over";
    prompts.box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::No);
    chooseFileToWrite(prompts, dialog, name);
    EXPECT_EQ(name, "");
    prompts.box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::Yes).saveDialog({});
    chooseFileToWrite(prompts, dialog, name);
    EXPECT_EQ(name, "");
    EXPECT_TRUE(prompts.satisfied()) << prompts.report();
}

TEST(ChooseFileToWrite, NewFileNeedsNoReplaceQuestion) {
    TempDir dir;
    ScriptedPrompts prompts;
    FileDialogSettings dialog;
    std::string name;
    prompts.box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::Yes)
        .saveDialog(dir.file("new.EUD"));
    chooseFileToWrite(prompts, dialog, name);
    EXPECT_EQ(name, dir.file("new.EUD"));
    EXPECT_TRUE(prompts.satisfied()) << prompts.report();
}

TEST(ChooseFileToWrite, DecliningToReplaceAsksAgainAndACancelKeepsTheName) {
    TempDir dir;
    const std::string existing = dir.write("old.EUD", "1\r\n");
    ScriptedPrompts prompts;
    FileDialogSettings dialog;
    std::string name;
    prompts.box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::Yes)
        .saveDialog(existing)
        .box(BoxType::Confirm, replaceQuestion(existing), Buttons::YesNo, Answer::No)
        .box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::Yes)
        .saveDialog({})
        .box(BoxType::Confirm, replaceQuestion(existing), Buttons::YesNo, Answer::Yes);
    chooseFileToWrite(prompts, dialog, name);
    EXPECT_EQ(name, existing);
    EXPECT_TRUE(prompts.satisfied()) << prompts.report();
    // The dialog offers the name chosen last time again.
    ASSERT_EQ(prompts.dialogsRun().size(), 2u);
    EXPECT_EQ(prompts.dialogsRun()[1].fileName, existing);
}

TEST(ChooseFileToWrite, AFolderIsNotAnExistingFile) {
    TempDir dir;
    ScriptedPrompts prompts;
    FileDialogSettings dialog;
    std::string name;
    prompts.box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::Yes).saveDialog(dir.path());
    chooseFileToWrite(prompts, dialog, name);
    EXPECT_EQ(name, dir.path());
    EXPECT_TRUE(prompts.satisfied()) << prompts.report();
}

TEST(ChooseFileToSave, DecliningToReplaceShowsTheDialogAgain) {
    TempDir dir;
    const std::string existing = dir.write("old.png", "1");
    ScriptedPrompts prompts;
    FileDialogSettings dialog;
    prompts.saveDialog(existing)
        .box(BoxType::Confirm, replaceQuestion(existing), Buttons::YesNo, Answer::No)
        .saveDialog(dir.file("new.png"));
    EXPECT_EQ(chooseFileToSave(prompts, dialog), dir.file("new.png"));
    prompts.saveDialog(existing)
        .box(BoxType::Confirm, replaceQuestion(existing), Buttons::YesNo, Answer::No)
        .saveDialog({});
    EXPECT_EQ(chooseFileToSave(prompts, dialog), "");
    prompts.saveDialog(existing).box(BoxType::Confirm, replaceQuestion(existing), Buttons::YesNo,
                                     Answer::Yes);
    EXPECT_EQ(chooseFileToSave(prompts, dialog), existing);
    EXPECT_TRUE(prompts.satisfied()) << prompts.report();
}
