// nvpack's wording of every kind of error: English, with the file in quotes and the system's
// code when one came with the error.

#include <gtest/gtest.h>

#include "base/error.h"
#include "error_text.h"

namespace nv::package::testing {
namespace {

struct Worded {
    Error error;
    const char* text;
};

TEST(NvpackErrorText, EveryKindIsWordedInEnglishWithItsDetails) {
    const Worded rows[] = {
        {Error("Own text."), "Own text."},
        {Error(ErrorKind::kOpenFailed, "a.bin"), "Cannot open \"a.bin\"."},
        {Error(ErrorKind::kCreateFailed, "a.bin"), "Cannot create \"a.bin\"."},
        {Error(ErrorKind::kReadFailed, "a.bin"), "Cannot read \"a.bin\"."},
        {Error(ErrorKind::kWriteFailed, "a.bin"),
         "Cannot write to \"a.bin\". The disk may be full."},
        {Error(ErrorKind::kSetupUnreadable), "The setup file cannot be read."},
        {Error(ErrorKind::kPackageUnreadable), "The package file cannot be read."},
        {Error(ErrorKind::kInflateFailed),
         "A block does not inflate (zlib reports an error); see nvpack verify."},
        {Error(ErrorKind::kOutOfMemory), "Out of memory."},
        {Error(ErrorKind::kOutOfResources), "Out of system resources."},
        {Error(ErrorKind::kUnexpected), "An unexpected error occurred."},
        {Error(ErrorKind::kSetDataFailed, "InstallPath"),
         "Cannot set the registry value \"InstallPath\"."},
        {Error(ErrorKind::kInvalidDataType, "InstallPath"),
         "The registry value \"InstallPath\" is not text."},
        {Error(ErrorKind::kProfileWriteFailed, "norvis.ini"), "Cannot write to \"norvis.ini\"."},
        {Error(ErrorKind::kCreateFolderFailed, "out"), "Cannot create the folder \"out\"."},
        {Error(ErrorKind::kRemoveFolderFailed, "out"), "Cannot remove the folder \"out\"."},
        {Error(ErrorKind::kSeekFailed, "a.bin"), "Cannot seek in \"a.bin\"."},
        {Error(ErrorKind::kEndOfFile, "a.bin"), "\"a.bin\" ends unexpectedly."},
        {Error(ErrorKind::kChangedWhileRead, "a.bin"),
         "Cannot read \"a.bin\", or it changed while being packed."},
        {Error(ErrorKind::kReadFailed, "a.bin", 5), "Cannot read \"a.bin\". (system error 5)"},
        {Error(ErrorKind::kSeekFailed, "a.bin", 6), "Cannot seek in \"a.bin\". (system error 6)"},
    };
    for (const Worded& row : rows) {
        EXPECT_EQ(nvpack::ErrorText(row.error), row.text) << ErrorKindName(row.error.Kind());
    }
}

}  // namespace
}  // namespace nv::package::testing
