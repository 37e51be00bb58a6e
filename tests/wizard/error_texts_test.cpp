// The setup's wording of every kind of error: the German texts its error box has always shown,
// with the details of the error, byte for byte in Windows-1252.

#include <gtest/gtest.h>

#include "base/error.h"
#include "wizard/error_texts.h"

namespace nv::wizard::testing {
namespace {

struct Worded {
    Error error;
    const char* text;
};

TEST(ErrorTexts, EveryKindIsWordedInGermanWithItsDetails) {
    const Worded rows[] = {
        {Error("Eigener Text"), "Eigener Text"},
        {Error(ErrorKind::kOpenFailed, "C:\\a.bin"),
         "Datei kann nicht ge\xF6"
         "ffnet werden: C:\\a.bin"},
        {Error(ErrorKind::kCreateFailed, "C:\\a.bin"),
         "Datei kann nicht erstellt werden: C:\\a.bin"},
        {Error(ErrorKind::kReadFailed, "C:\\a.bin"), "Datei kann nicht gelesen werden: C:\\a.bin"},
        {Error(ErrorKind::kChangedWhileRead, "C:\\a.bin"),
         "Datei kann nicht gelesen werden: C:\\a.bin"},
        {Error(ErrorKind::kWriteFailed, "C:\\a.bin"),
         "In C:\\a.bin kann nicht geschrieben werden (eventuell ist der Datentr\xE4ger voll)"},
        {Error(ErrorKind::kSetupUnreadable), "Setup-Datei kann nicht gelesen werden"},
        {Error(ErrorKind::kPackageUnreadable), "Installationspaket kann nicht gelesen werden"},
        {Error(ErrorKind::kInflateFailed), "error"},
        {Error(ErrorKind::kOutOfMemory), "Nicht gen\xFCgend Arbeitsspeicher"},
        {Error(ErrorKind::kOutOfResources), "Nicht gen\xFCgend Systemressourcen"},
        {Error(ErrorKind::kUnexpected), "Unerwarteter Fehler"},
        {Error(ErrorKind::kSetDataFailed, "InstallPath"),
         "Fehler beim Setzen der Daten f\xFCr 'InstallPath'"},
        {Error(ErrorKind::kInvalidDataType, "InstallPath"),
         "Ung\xFCltiger Datentyp f\xFCr 'InstallPath'"},
        {Error(ErrorKind::kProfileWriteFailed, "C:\\x\\norvis.ini"),
         "In C:\\x\\norvis.ini kann nicht geschrieben werden"},
        {Error(ErrorKind::kCreateFolderFailed, "C:\\x"), "Verzeichnis kann nicht erstellt werden"},
        {Error(ErrorKind::kCreateFolderFailed), "Verzeichnis kann nicht erstellt werden"},
        {Error(ErrorKind::kRemoveFolderFailed, "C:\\x"), "Verzeichnis kann nicht entfernt werden"},
        {Error(ErrorKind::kSeekFailed, "C:\\a.bin"), "Fehler beim Positionieren in C:\\a.bin"},
        {Error(ErrorKind::kEndOfFile, "C:\\a.bin"), "Unerwartetes Dateiende in C:\\a.bin"},
        // The file errors name the system's code when one came with them; the host's other
        // errors keep their texts exactly as the setup has always shown them.
        {Error(ErrorKind::kWriteFailed, "C:\\a.bin", 112),
         "In C:\\a.bin kann nicht geschrieben werden (eventuell ist der Datentr\xE4ger voll) "
         "(Fehlercode 112)"},
        {Error(ErrorKind::kOpenFailed, "C:\\a.bin", 2),
         "Datei kann nicht ge\xF6"
         "ffnet werden: C:\\a.bin (Fehlercode 2)"},
        {Error(ErrorKind::kSetDataFailed, "InstallPath", 5),
         "Fehler beim Setzen der Daten f\xFCr 'InstallPath'"},
        {Error(ErrorKind::kCreateFolderFailed, "C:\\x", 183),
         "Verzeichnis kann nicht erstellt werden"},
        {Error(ErrorKind::kSeekFailed, "C:\\a.bin", 6), "Fehler beim Positionieren in C:\\a.bin"},
    };
    for (const Worded& row : rows) {
        EXPECT_EQ(ErrorText(row.error), row.text) << ErrorKindName(row.error.Kind());
    }
}

}  // namespace
}  // namespace nv::wizard::testing
