#include "host/host_errors.h"

namespace nv::host {

Error InvalidDataTypeError(const std::string& valueName) {
    return Error("Ung\xFCltiger Datentyp f\xFCr '" + valueName + "'");
}

Error SetDataError(const std::string& valueName) {
    return Error("Fehler beim Setzen der Daten f\xFCr '" + valueName + "'");
}

Error ProfileWriteError(const std::string& file) {
    return Error("In " + file + " kann nicht geschrieben werden");
}

Error CreateFolderError() {
    return Error("Verzeichnis kann nicht erstellt werden");
}

Error RemoveFolderError() {
    return Error("Verzeichnis kann nicht entfernt werden");
}

Error FileOpenError(const std::string& path) {
    return Error("Datei " + path +
                 " kann nicht ge\xF6"
                 "ffnet werden");
}

Error FileCreateError(const std::string& path) {
    return Error("Datei " + path + " kann nicht erstellt werden");
}

Error FileReadError(const std::string& path) {
    return Error("Fehler beim Lesen von " + path);
}

Error FileWriteError(const std::string& path) {
    return Error("Fehler beim Schreiben in " + path);
}

Error FileSeekError(const std::string& path) {
    return Error("Fehler beim Positionieren in " + path);
}

Error EndOfFileError(const std::string& path) {
    return Error("Unerwartetes Dateiende in " + path);
}

}  // namespace nv::host
