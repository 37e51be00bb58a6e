#include "wizard/error_texts.h"

namespace nv::wizard {

std::string ErrorText(const Error& error) {
    const std::string& path = error.Path();
    std::string text = error.what();  // a kind added later and not worded here yet
    switch (error.Kind()) {
        case ErrorKind::kText:
            return error.what();
        case ErrorKind::kOpenFailed:
            text =
                "Datei kann nicht ge\xF6"
                "ffnet werden: " +
                path;
            break;
        case ErrorKind::kCreateFailed:
            text = "Datei kann nicht erstellt werden: " + path;
            break;
        case ErrorKind::kReadFailed:
        case ErrorKind::kChangedWhileRead:
            text = "Datei kann nicht gelesen werden: " + path;
            break;
        case ErrorKind::kWriteFailed:
            text = "In " + path +
                   " kann nicht geschrieben werden (eventuell ist der Datentr\xE4ger voll)";
            break;
        case ErrorKind::kSetupUnreadable:
            text = "Setup-Datei kann nicht gelesen werden";
            break;
        case ErrorKind::kPackageUnreadable:
            text = "Installationspaket kann nicht gelesen werden";
            break;
        case ErrorKind::kInflateFailed:
            return "error";  // a block zlib cannot inflate says no more than zlib's own word
        case ErrorKind::kOutOfMemory:
            text = "Nicht gen\xFCgend Arbeitsspeicher";
            break;
        case ErrorKind::kOutOfResources:
            text = "Nicht gen\xFCgend Systemressourcen";
            break;
        case ErrorKind::kUnexpected:
            text = "Unerwarteter Fehler";
            break;
        // The host's errors keep the texts the setup has always shown for them, without the
        // system's code.
        case ErrorKind::kSetDataFailed:
            return "Fehler beim Setzen der Daten f\xFCr '" + path + "'";
        case ErrorKind::kInvalidDataType:
            return "Ung\xFCltiger Datentyp f\xFCr '" + path + "'";
        case ErrorKind::kProfileWriteFailed:
            return "In " + path + " kann nicht geschrieben werden";
        case ErrorKind::kCreateFolderFailed:
            return "Verzeichnis kann nicht erstellt werden";
        case ErrorKind::kRemoveFolderFailed:
            return "Verzeichnis kann nicht entfernt werden";
        case ErrorKind::kSeekFailed:
            return "Fehler beim Positionieren in " + path;
        case ErrorKind::kEndOfFile:
            return "Unerwartetes Dateiende in " + path;
    }
    if (error.SystemCode() != 0) {
        text += " (Fehlercode " + std::to_string(error.SystemCode()) + ")";
    }
    return text;
}

}  // namespace nv::wizard
