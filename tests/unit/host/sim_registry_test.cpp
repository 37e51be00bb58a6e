#include <gtest/gtest.h>

#include "host/sim/sim_host.h"

namespace nv::host::sim {
namespace {

constexpr const char* kKey = R"(\Software\Halvorn\Norvista)";

TEST(RegistryStrings, MissingValueReadsEmptyAndTextRoundTrips) {
    SimHost host;
    const std::unique_ptr<RegistryKey> key = host.CreateKey(kKey);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ReadString("Installpath"), "");

    key->WriteString("InstallPath", R"(C:\Programme\Norvista\)");
    const std::optional<RegistryValue> raw = host.RegistryValueAt(kKey, "InstallPath");
    ASSERT_TRUE(raw.has_value());
    EXPECT_EQ(raw->type, kRegSz);
    EXPECT_EQ(raw->data, std::string("C:\\Programme\\Norvista\\\0", 23));  // zero counted
    EXPECT_EQ(key->ReadString("Installpath"), R"(C:\Programme\Norvista\)");

    key->WriteString("DesktopLink", "");
    EXPECT_EQ(host.RegistryStringAt(kKey, "DesktopLink"), "");
    EXPECT_EQ(host.RegistryValueNames(kKey),
              (std::vector<std::string>{"DesktopLink", "InstallPath"}));
}

TEST(RegistryStrings, ValueOfAnotherTypeRaises) {
    SimHost host;
    host.SetRegistryValue(kKey, "Installpath", RegistryValue{kRegDword, std::string(4, '\1')});
    host.SetRegistryValue(kKey, "Expand", RegistryValue{kRegExpandSz, std::string("%x%\0", 4)});
    const std::unique_ptr<RegistryKey> key = host.OpenKey(kKey, KeyAccess::kRead);
    ASSERT_NE(key, nullptr);
    try {
        key->ReadString("Installpath");
        FAIL() << "read a DWORD as text";
    } catch (const Error& e) {
        EXPECT_EQ(e.Kind(), ErrorKind::kInvalidDataType);
        EXPECT_EQ(e.Path(), "Installpath");
    }
    EXPECT_EQ(key->ReadString("Expand"), "%x%");
}

TEST(RegistryStrings, UnwritableValueRaisesWithItsName) {
    SimHost host;
    const std::unique_ptr<RegistryKey> key = host.CreateKey(kKey);
    host.Fail(SimOp::kSetValue, "desktoplink");
    key->WriteString("InstallPath", R"(C:\x\)");
    try {
        key->WriteString("DesktopLink", "C:\\d.lnk");
        FAIL() << "the value was written";
    } catch (const Error& e) {
        EXPECT_EQ(e.Kind(), ErrorKind::kSetDataFailed);
        EXPECT_EQ(e.Path(), "DesktopLink");
    }
    EXPECT_FALSE(host.RegistryValueAt(kKey, "DesktopLink").has_value());
}

TEST(RegistryAccess, ReadOnlyKeysRefuseWrites) {
    SimHost host;
    host.SetRegistryString(kKey, "Installpath", R"(C:\x\)");
    const std::unique_ptr<RegistryKey> key = host.OpenKey(kKey, KeyAccess::kRead);
    EXPECT_THROW(key->WriteString("Installpath", "y"), Error);
    EXPECT_FALSE(key->DeleteValue("Installpath"));
    EXPECT_EQ(host.RegistryStringAt(kKey, "Installpath"), R"(C:\x\)");
}

TEST(RegistryAccess, UserWithoutRightsCanOnlyRead) {
    SimHost host;
    host.SetRegistryString(kKey, "Installpath", R"(C:\x\)");
    host.SetRegistryWritable(false);
    EXPECT_NE(host.OpenKey(kKey, KeyAccess::kRead), nullptr);
    EXPECT_EQ(host.OpenKey(kKey, KeyAccess::kAllAccess), nullptr);
    EXPECT_EQ(host.CreateKey(kKey), nullptr);
    EXPECT_EQ(host.CreateKey("Software\\New"), nullptr);
    EXPECT_FALSE(host.RegistryKeyExists("Software\\New"));
}

TEST(RegistryValues, DeleteLeavesTheKey) {
    SimHost host;
    host.SetRegistryString(kKey, "SetupLink", "C:\\s.lnk");
    const std::unique_ptr<RegistryKey> key = host.OpenKey(kKey, KeyAccess::kAllAccess);
    EXPECT_TRUE(key->DeleteValue("SETUPLINK"));
    EXPECT_FALSE(key->DeleteValue("SetupLink"));
    EXPECT_TRUE(host.RegistryKeyExists(kKey));
    EXPECT_TRUE(host.RegistryValueNames(kKey).empty());
}

TEST(RegistryValues, DwordsAreFourBytesLeastSignificantFirst) {
    SimHost host;
    const std::unique_ptr<RegistryKey> key = host.CreateKey(kKey);
    key->WriteDword("EstimatedSize", 0x01020304U);
    key->WriteDword("NoRepair", 1);
    EXPECT_EQ(host.RegistryValueAt(kKey, "EstimatedSize"),
              (RegistryValue{kRegDword, std::string("\x04\x03\x02\x01", 4)}));
    EXPECT_EQ(host.RegistryValueAt(kKey, "NoRepair"),
              (RegistryValue{kRegDword, std::string("\x01\0\0\0", 4)}));
    EXPECT_EQ(DwordValue(0xFFFFFFFFU).data, std::string(4, '\xFF'));
    host.Fail(SimOp::kSetValue, "nomodify");
    EXPECT_THROW(key->WriteDword("NoModify", 1), Error);
    EXPECT_FALSE(host.RegistryValueAt(kKey, "NoModify").has_value());
}

// A key goes with its values, but not while it has subkeys, nor without the right to write.
TEST(RegistryKeys, DeleteTakesTheValuesAndLeavesParentsAndSubkeys) {
    SimHost host;
    host.SetRegistryString(kKey, "InstallPath", R"(C:\x\)");
    host.SetRegistryString("Software\\Halvorn\\Other", "A", "a");
    EXPECT_FALSE(host.DeleteKey("\\Software\\Halvorn"));  // has subkeys
    host.SetRegistryWritable(false);
    EXPECT_FALSE(host.DeleteKey(kKey));
    host.SetRegistryWritable(true);
    host.Fail(SimOp::kDeleteKey, "software\\halvorn\\norvista", 1);
    EXPECT_FALSE(host.DeleteKey(kKey));
    EXPECT_TRUE(host.RegistryKeyExists(kKey));

    EXPECT_TRUE(host.DeleteKey(kKey));
    EXPECT_FALSE(host.RegistryKeyExists(kKey));
    EXPECT_FALSE(host.RegistryValueAt(kKey, "InstallPath").has_value());
    EXPECT_TRUE(host.RegistryKeyExists("Software\\Halvorn\\Other"));
    EXPECT_FALSE(host.DeleteKey(kKey));  // gone already
    EXPECT_EQ(host.OpenKey(kKey, KeyAccess::kRead), nullptr);
}

TEST(RegistryValues, KeyRemovedWhileOpenFailsQuietly) {
    SimHost host;
    host.SetRegistryString(kKey, "InstallPath", R"(C:\x\)");
    const std::unique_ptr<RegistryKey> key = host.OpenKey(kKey, KeyAccess::kAllAccess);
    host.RemoveRegistryKey("Software\\Halvorn");
    EXPECT_FALSE(host.RegistryKeyExists(kKey));
    EXPECT_EQ(key->ReadString("InstallPath"), "");
    EXPECT_THROW(key->WriteString("InstallPath", "y"), Error);
}

}  // namespace
}  // namespace nv::host::sim
