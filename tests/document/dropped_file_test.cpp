#include "marovine/document/dropped_file.h"

#include <gtest/gtest.h>

namespace {

using marovine::ChooseDroppedFileAction;
using marovine::DroppedFileAction;

TEST(DroppedFileTest, TheNameDecidesBetweenOpeningAndTheTwoImports) {
  EXPECT_EQ(ChooseDroppedFileAction("/home/u/LIST.MRV"), DroppedFileAction::kOpenDocument);
  // ".mrv" anywhere in the path wins, even over a history file's name.
  EXPECT_EQ(ChooseDroppedFileAction("/home/u/old.mrv.履歴.txt"), DroppedFileAction::kOpenDocument);
  EXPECT_EQ(ChooseDroppedFileAction("/mirror/site/履歴.txt"),
            DroppedFileAction::kImportSiteHistory);
  EXPECT_EQ(ChooseDroppedFileAction("/home/u/urls.txt"), DroppedFileAction::kImportUrlList);
  EXPECT_EQ(ChooseDroppedFileAction("/home/u/page.url"), DroppedFileAction::kImportUrlList);
  // Case counts beyond the two spellings.
  EXPECT_EQ(ChooseDroppedFileAction("/home/u/list.Mrv"), DroppedFileAction::kImportUrlList);
}

}  // namespace
