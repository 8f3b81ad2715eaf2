// The portable parts of the drawn prompts: the text field's editing and the
// command lines of the desktop's file dialog programs.
#include "drawn/text_field.h"
#include "file_dialog_programs.h"

#include <gtest/gtest.h>

TEST(TextField, EditsReplaceTheSelectionAndKeepToTheLimit)
{
  TextField field("120", 5);
  EXPECT_EQ(field.SelectionStart(), 0);
  EXPECT_EQ(field.SelectionEnd(), 3);
  field.Insert("-4\t");
  EXPECT_EQ(field.Text(), "-4") << "typing replaces the selection; controls are dropped";
  field.Insert("56789");
  EXPECT_EQ(field.Text(), "-4567") << "cut at the limit";
  field.MoveCaret(-2, true);
  EXPECT_EQ(field.SelectionStart(), 3);
  field.Backspace();
  EXPECT_EQ(field.Text(), "-45");
  field.MoveCaretTo(0, false);
  field.Backspace();
  field.Delete();
  EXPECT_EQ(field.Text(), "45");
  field.MoveCaret(5, false);
  EXPECT_EQ(field.Caret(), 2) << "the caret stays inside the text";
  field.Delete();
  EXPECT_EQ(field.Text(), "45");
}

TEST(FileDialogPrograms, TriedInOrderAndCalledWithTheirOwnOptions)
{
  EXPECT_EQ(FileDialogPrograms(nullptr), (std::vector<std::string>{"zenity", "kdialog"}));
  EXPECT_EQ(FileDialogPrograms("kdialog"), std::vector<std::string>{"kdialog"});
  EXPECT_TRUE(FileDialogPrograms("drawn").empty());

  EXPECT_EQ(FileDialogCommand("zenity", 1, "/p/", "a.thudwerkpreset", "thudwerkpreset"),
            (std::vector<std::string>{"zenity", "--file-selection",
                                      "--filename=/p/a.thudwerkpreset", "--save",
                                      "--confirm-overwrite", "--file-filter=*.thudwerkpreset"}));
  EXPECT_EQ(FileDialogCommand("kdialog", 0, "/p/", "", "a  b"),
            (std::vector<std::string>{"kdialog", "--getopenfilename", "/p/", "*.a *.b"}));
  EXPECT_TRUE(FileDialogCommand("other", 0, "/p/", "", "a").empty());
}
