#include "host/administrator.h"

#include <gtest/gtest.h>

#include "host/sim/sim_host.h"

namespace nv::host {
namespace {

using sim::SimHost;

Sid UsersSid() {
    Sid sid = CreateAdministratorsSid();
    sid.subAuthorities = {32, 545};
    return sid;
}

TEST(AdministratorsSid, IsTheWellKnownBuiltinAdministratorsGroup) {
    const Sid sid = CreateAdministratorsSid();
    EXPECT_EQ(sid.revision, 1);
    EXPECT_EQ(sid.authority, (std::array<std::uint8_t, 6>{0, 0, 0, 0, 0, 5}));
    EXPECT_EQ(sid.subAuthorities, (std::vector<std::uint32_t>{32, 544}));
    EXPECT_NE(sid, UsersSid());
}

TEST(IsAdministrator, EnabledAdministratorsGroupGrantsRights) {
    SimHost host;
    host.SetTokenGroups(std::vector<TokenGroup>{
        {UsersSid(), kSeGroupEnabled},
        {CreateAdministratorsSid(), kSeGroupMandatory | kSeGroupEnabled},
    });
    EXPECT_TRUE(IsAdministrator(host));
}

TEST(IsAdministrator, TokenWithoutTheGroupIsNotAdministrator) {
    SimHost host;
    host.SetTokenGroups(std::vector<TokenGroup>{{UsersSid(), kSeGroupEnabled}});
    EXPECT_FALSE(IsAdministrator(host));

    // Same sub-authorities under another authority are another group.
    Sid lookalike = CreateAdministratorsSid();
    lookalike.authority = {0, 0, 0, 0, 0, 1};
    host.SetTokenGroups(std::vector<TokenGroup>{{lookalike, kSeGroupEnabled}});
    EXPECT_FALSE(IsAdministrator(host));
}

TEST(IsAdministrator, DenyOnlyOrDisabledGroupGrantsNoRights) {
    // The filtered token of an administrator under user account control.
    SimHost host;
    host.SetTokenGroups(std::vector<TokenGroup>{
        {CreateAdministratorsSid(), kSeGroupUseForDenyOnly},
    });
    EXPECT_FALSE(IsAdministrator(host));

    host.SetTokenGroups(std::vector<TokenGroup>{
        {CreateAdministratorsSid(), kSeGroupEnabled | kSeGroupUseForDenyOnly},
    });
    EXPECT_FALSE(IsAdministrator(host));

    host.SetTokenGroups(std::vector<TokenGroup>{{CreateAdministratorsSid(), kSeGroupMandatory}});
    EXPECT_FALSE(IsAdministrator(host));
}

TEST(IsAdministrator, TokenThatCannotBeReadOrIsEmpty) {
    SimHost host;
    host.SetTokenGroups(std::nullopt);
    EXPECT_FALSE(IsAdministrator(host));

    host.SetTokenGroups(std::vector<TokenGroup>{});
    EXPECT_FALSE(IsAdministrator(host));

    SimHost faulty;
    ASSERT_TRUE(IsAdministrator(faulty));  // the default machine's user is an administrator
    faulty.Fail(sim::SimOp::kTokenGroups);
    EXPECT_FALSE(IsAdministrator(faulty));
}

}  // namespace
}  // namespace nv::host
