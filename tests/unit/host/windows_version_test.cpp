#include "host/windows_version.h"

#include <gtest/gtest.h>

#include "host/sim/sim_host.h"

namespace nv::host {
namespace {

using sim::SimHost;

VersionRecord Record(std::uint32_t platform, std::uint32_t major, std::uint32_t minor,
                     std::uint32_t build, const std::string& servicePack,
                     std::uint8_t productType = 0, std::uint16_t suite = 0) {
    VersionRecord v;
    v.platformId = platform;
    v.majorVersion = major;
    v.minorVersion = minor;
    v.buildNumber = build;
    v.csdVersion = servicePack;
    v.productType = productType;
    v.suiteMask = suite;
    return v;
}

std::string TextFor(SimHost& host, std::string passed = "") {
    GetWindowsVersionText(host, passed);
    return passed;
}

struct Row {
    const char* name;
    VersionRecord record;
    int mediaCenter;
    const char* expected;
};

class ExtendedRecordTest : public ::testing::TestWithParam<Row> {};

TEST_P(ExtendedRecordTest, Describes) {
    SimHost host;
    host.SetVersion(GetParam().record);
    host.SetSystemMetric(kSmMediaCenter, GetParam().mediaCenter);
    EXPECT_EQ(TextFor(host), GetParam().expected);
}

constexpr std::uint32_t kNt = kPlatformWin32Nt;

INSTANTIATE_TEST_SUITE_P(
    Editions, ExtendedRecordTest,
    ::testing::Values(
        Row{"XpProfessional", Record(kNt, 5, 1, 2600, "Service Pack 2", 1), 0,
            "Microsoft Windows XP Professional Service Pack 2 (Build 2600)"},
        Row{"XpNoServicePack", Record(kNt, 5, 1, 2600, "", 1), 0,
            "Microsoft Windows XP Professional  (Build 2600)"},
        Row{"XpHome", Record(kNt, 5, 1, 2600, "Service Pack 1", 1, 0x0200), 0,
            "Microsoft Windows XP Home Edition Service Pack 1 (Build 2600)"},
        Row{"XpMediaCenter", Record(kNt, 5, 1, 2600, "Service Pack 2", 1), 1,
            "Microsoft Windows XP Media Center Edition Service Pack 2 (Build 2600)"},
        Row{"HomeBeatsMediaCenter", Record(kNt, 5, 1, 2600, "", 1, 0x0200), 1,
            "Microsoft Windows XP Home Edition  (Build 2600)"},
        Row{"Nt4WorkstationExtended", Record(kNt, 4, 0, 1381, "Service Pack 6", 1, 0x0200), 0,
            "Microsoft Windows NT Workstation 4.0 Service Pack 6 (Build 1381)"},
        Row{"Server2003Datacenter", Record(kNt, 5, 2, 3790, "", 3, 0x0082), 0,
            "Microsoft Windows Server 2003 family, Datacenter Edition  (Build 3790)"},
        Row{"Server2003Enterprise", Record(kNt, 5, 2, 3790, "Service Pack 1", 3, 0x0402), 0,
            "Microsoft Windows Server 2003 family, Enterprise Edition Service Pack 1 (Build "
            "3790)"},
        Row{"Server2003Web", Record(kNt, 5, 2, 3790, "Service Pack 1", 3, 0x0400), 0,
            "Microsoft Windows Server 2003 family, Web Edition Service Pack 1 (Build 3790)"},
        Row{"Server2003StandardWhenBladeIsNotAlone",
            Record(kNt, 5, 2, 3790, "Service Pack 1", 3, 0x0410), 0,
            "Microsoft Windows Server 2003 family, Standard Edition Service Pack 1 (Build 3790)"},
        Row{"Server2000Datacenter", Record(kNt, 5, 0, 2195, "Service Pack 4", 3, 0x0082), 0,
            "Microsoft Windows 2000 Datacenter Server Service Pack 4 (Build 2195)"},
        Row{"Server2000Advanced", Record(kNt, 5, 0, 2195, "Service Pack 4", 3, 0x0002), 0,
            "Microsoft Windows 2000 Advanced Server Service Pack 4 (Build 2195)"},
        Row{"Server2000", Record(kNt, 5, 0, 2195, "Service Pack 4", 3), 0,
            "Microsoft Windows 2000 Server Service Pack 4 (Build 2195)"},
        Row{"Nt4ServerEnterprise", Record(kNt, 4, 0, 1381, "Service Pack 5", 3, 0x0002), 0,
            "Microsoft Windows NT Server 4.0, Enterprise Edition Service Pack 5 (Build 1381)"},
        Row{"Nt4Server", Record(kNt, 4, 0, 1381, "Service Pack 5", 3), 0,
            "Microsoft Windows NT Server 4.0 Service Pack 5 (Build 1381)"},
        Row{"DomainControllerHasNoEdition", Record(kNt, 5, 0, 2195, "Service Pack 4", 2, 0x0002), 0,
            "Microsoft Windows 2000 Service Pack 4 (Build 2195)"},
        Row{"Windows7HasNoName", Record(kNt, 6, 1, 7601, "Service Pack 1", 1), 0,
            "Professional Service Pack 1 (Build 7601)"},
        Row{"Version53HasNoName", Record(kNt, 5, 3, 1, "", 1), 0, "Professional  (Build 1)"},
        Row{"BuildPrintsLow16Bits", Record(kNt, 5, 1, 0x0A280A28, "", 1), 0,
            "Microsoft Windows XP Professional  (Build 2600)"}),
    [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

TEST(WindowsVersionText, NamelessVersionsKeepWhatWasPassed) {
    SimHost host;
    host.SetVersion(Record(kNt, 10, 0, 19045, "", 1));
    EXPECT_EQ(TextFor(host, "Prefix: "), "Prefix: Professional  (Build 19045)");
}

TEST(WindowsVersionText, ShortRecordTakesTheEditionFromTheRegistry) {
    SimHost host;
    host.SetVersion(Record(kNt, 4, 0, 1381, "Service Pack 5", 1, 0x0200), false);
    host.SetRegistryString(kProductOptionsKey, "ProductType", "WINNT");
    EXPECT_EQ(TextFor(host), "Microsoft Windows NT Workstation 4.0Service Pack 5 (Build 1381)");

    host.SetRegistryString(kProductOptionsKey, "ProductType", "ServerNT");
    EXPECT_EQ(TextFor(host), "Microsoft Windows NT Advanced Server 4.0Service Pack 5 (Build 1381)");

    host.SetRegistryString(kProductOptionsKey, "ProductType", "Unknown");
    EXPECT_EQ(TextFor(host), "Microsoft Windows NT 4.0Service Pack 5 (Build 1381)");
}

TEST(WindowsVersionText, ServicePack6aNeedsTheHotfixKey) {
    SimHost host;
    host.SetVersion(Record(kNt, 4, 0, 1381, "Service Pack 6", 3), false);
    host.SetRegistryString(kProductOptionsKey, "ProductType", "LANMANNT");
    EXPECT_EQ(TextFor(host), "Microsoft Windows NT Server 4.0Service Pack 6 (Build 1381)");

    host.AddRegistryKey(kServicePack6aHotfixKey);
    EXPECT_EQ(TextFor(host), "Microsoft Windows NT Server 4.0Service Pack 6a (Build 1381)");

    // The service-pack text compares without regard to case, and only on NT 4.
    host.SetVersion(Record(kNt, 4, 0, 1381, "SERVICE PACK 6", 3), false);
    EXPECT_EQ(TextFor(host), "Microsoft Windows NT Server 4.0Service Pack 6a (Build 1381)");
    host.SetVersion(Record(kNt, 5, 0, 2195, "Service Pack 6", 1));
    EXPECT_EQ(TextFor(host), "Microsoft Windows 2000 Professional Service Pack 6 (Build 2195)");
}

TEST(WindowsVersionText, UnusableProductTypeGivesNoEditionWord) {
    SimHost host;
    host.SetVersion(Record(kNt, 4, 0, 1381, "", 1), false);

    host.RemoveRegistryKey(kProductOptionsKey);
    EXPECT_EQ(TextFor(host), "Microsoft Windows NT 4.0 (Build 1381)");

    // Longer than the 80-byte buffer: ignored.
    host.SetRegistryString(kProductOptionsKey, "ProductType", "WINNT" + std::string(80, ' '));
    EXPECT_EQ(TextFor(host), "Microsoft Windows NT 4.0 (Build 1381)");

    // Exactly 80 bytes still fit; the text ends at the first zero byte.
    host.SetRegistryValue(kProductOptionsKey, "ProductType",
                          RegistryValue{kRegSz, std::string("WINNT\0", 6) + std::string(74, 'x')});
    EXPECT_EQ(TextFor(host), "Microsoft Windows NT Workstation 4.0 (Build 1381)");
    host.SetRegistryValue(kProductOptionsKey, "ProductType",
                          RegistryValue{kRegSz, std::string("WINNT\0", 6) + std::string(75, 'x')});
    EXPECT_EQ(TextFor(host), "Microsoft Windows NT 4.0 (Build 1381)");

    host.Fail(sim::SimOp::kQueryValue, "ProductType");
    EXPECT_EQ(TextFor(host), "Microsoft Windows NT 4.0 (Build 1381)");
}

TEST(WindowsVersionText, ShortQueryIgnoresExtendedFields) {
    // The short record cannot carry a product type: the registry decides, not the record.
    SimHost host;
    host.SetVersion(Record(kNt, 5, 0, 2195, "Service Pack 4", 3, 0x0082), false);
    host.SetRegistryString(kProductOptionsKey, "ProductType", "WinNT");
    EXPECT_EQ(TextFor(host), "Microsoft Windows 2000 Workstation 5.0Service Pack 4 (Build 2195)");
}

TEST(WindowsVersionText, Windows95Family) {
    SimHost host;
    const std::uint32_t k9x = kPlatformWin32Windows;
    host.SetVersion(Record(k9x, 4, 10, 0x040A08AE, " A "));
    EXPECT_EQ(TextFor(host), "Microsoft Windows 98 ");
    host.SetVersion(Record(k9x, 4, 10, 2222, "A"));
    EXPECT_EQ(TextFor(host), "Microsoft Windows 98 SE ");
    host.SetVersion(Record(k9x, 4, 0, 950, "C"));
    EXPECT_EQ(TextFor(host), "Microsoft Windows 95 OSR2 ");
    host.SetVersion(Record(k9x, 4, 0, 950, "B"));
    EXPECT_EQ(TextFor(host), "Microsoft Windows 95 OSR2 ");
    host.SetVersion(Record(k9x, 4, 0, 950, "A"));
    EXPECT_EQ(TextFor(host), "Microsoft Windows 95 ");
    host.SetVersion(Record(k9x, 4, 90, 3000, " "));
    EXPECT_EQ(TextFor(host), "Microsoft Windows Millennium Edition");
    host.SetVersion(Record(k9x, 4, 20, 1, "C"));
    EXPECT_EQ(TextFor(host, "kept"), "kept");
}

TEST(WindowsVersionText, PlatformsOutsideTheFamilies) {
    SimHost host;
    host.SetVersion(Record(kPlatformWin32s, 3, 10, 1, "x"));
    EXPECT_EQ(TextFor(host, "passed"), "Microsoft Win32s");
    host.SetVersion(Record(3, 5, 1, 2600, "Service Pack 2", 1));
    EXPECT_EQ(TextFor(host, "passed"), "passed");
}

TEST(WindowsVersionText, FailedQueries) {
    SimHost host;
    host.SetVersion(Record(kNt, 5, 1, 2600, "", 1), false, false);
    EXPECT_EQ(TextFor(host, "passed"), "Fehler bei der Ermittlung der Windows-Version");
    EXPECT_FALSE(NamesWindows9x(TextFor(host)));
}

TEST(WindowsVersionText, NamesWindows9x) {
    EXPECT_TRUE(NamesWindows9x("Microsoft Windows 95 OSR2 "));
    EXPECT_TRUE(NamesWindows9x("Microsoft Windows 98 "));
    EXPECT_TRUE(NamesWindows9x("Microsoft Windows Millennium Edition"));
    EXPECT_FALSE(NamesWindows9x("Microsoft Windows XP Professional  (Build 2600)"));
    EXPECT_FALSE(NamesWindows9x("microsoft windows 98 "));
}

}  // namespace
}  // namespace nv::host
