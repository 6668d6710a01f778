// The wire format against byte strings written out by hand: built, read,
// and refused.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "net/transport.h"
#include "net/wire.h"
#include "netns_util.h"

namespace {

struct buffer {
    uint8_t data[NET_PACKET_SIZE] = {};
    net_packet p = {data, 0};
    bytes got() const { return bytes(data, data + p.len); }
    void set(const bytes &b) {
        memcpy(data, b.data(), b.size());
        p.len = (int32_t)b.size();
    }
};

bytes text(const char *s) { return bytes(s, s + strlen(s) + 1); }

TEST(Wire, EveryPacketIsBuiltByteForByte) {
    buffer b;
    pak_build_signal(&b.p, PAK_PREPARE, 0x1234);
    EXPECT_EQ(b.got(), (bytes{7, 0, 0x34, 0x12}));
    pak_build_ack(&b.p, 0xBEEF, PAK_ACCEPT);
    EXPECT_EQ(b.got(), (bytes{1, 0, 0xEF, 0xBE, 5}));

    // Names of 0, 15 and (cut to 15) 20 characters.
    const char *names[3] = {"", "ABCDEFGHIJKLMNO", "abcdefghijklmnopqrst"};
    pak_build_join(&b.p, 3, names);
    EXPECT_EQ(b.got(), (bytes{3, 0, 0, 0, 3} + bytes{0} + text("ABCDEFGHIJKLMNO") + text("abcdefghijklmno")));

    const int32_t slots[3] = {2, 0, 3};
    pak_build_accept(&b.p, 150, 0x0114, 16, 3, slots);
    EXPECT_EQ(b.got(), (bytes{5, 0, 1, 0, 150, 0, 0x14, 0x01, 16, 0, 3, 2, 0, 3}));

    const char *two[2] = {"Red", ""};
    const int32_t their[2] = {1, 2};
    pak_build_address(&b.p, 2, ipv4(127, 0, 0, 1), net_port_net(8193), 2, their, two);
    EXPECT_EQ(b.got(), (bytes{6, 0, 2, 0, 127, 0, 0, 1, 0x20, 0x01, 0, 0, 2, 0, 0, 0} + bytes{1} + text("Red") + bytes{2, 0}));

    pak_build_digest(&b.p, 50, 0x0123456789ABCDEFull);
    EXPECT_EQ(b.got(), (bytes{15, 0, 50, 0, 0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01}));
}

// Reading joins, accepts and sets in play: NetLobby and NetTurn.
TEST(Wire, AddressAndDigestAreReadFieldByField) {
    buffer b;
    // The address in network order; the bytes between its fields are not read.
    b.set(bytes{6, 0, 3, 0, 127, 0, 0, 1, 0x20, 0x02, 7, 7, 1, 7, 7, 7, 2} + text("Green"));
    address_entry e;
    ASSERT_TRUE(pak_read_address(&b.p, &e, nullptr));
    EXPECT_TRUE(e.host == ipv4(127, 0, 0, 1) && net_port_host(e.port) == 8194 && e.count == 1 && e.slots[0] == 2);
    EXPECT_STREQ(e.names[0], "Green");

    b.set(bytes{15, 0, 1, 0, 1, 2, 3, 4, 5, 6, 7, 0x80});
    uint64_t d;
    ASSERT_TRUE(pak_read_digest(&b.p, &d, nullptr));
    EXPECT_EQ(d, 0x8007060504030201ull);
}

TEST(Wire, DatagramsThatDoNotHoldTheirFieldsAreRefused) {
    struct refusal {
        bytes datagram;
        bool (*read)(const net_packet *, const char **);
        const char *fault;
    };
    auto join = [](const net_packet *p, const char **f) { join_pak j; return pak_read_join(p, &j, f); };
    auto accept = [](const net_packet *p, const char **f) { accept_pak a; return pak_read_accept(p, &a, f); };
    auto address = [](const net_packet *p, const char **f) { address_entry e; return pak_read_address(p, &e, f); };
    auto controls = [](const net_packet *p, const char **f) { controls_pak c; return pak_read_controls(p, &c, f); };
    auto ack = [](const net_packet *p, const char **f) { int t; return pak_read_ack(p, &t, f); };
    auto digest = [](const net_packet *p, const char **f) { uint64_t d; return pak_read_digest(p, &d, f); };
    const refusal cases[] = {
        {{1, 0, 1, 0}, ack, "too short for the acknowledged type"},
        {{3, 0, 0, 0}, join, "too short for the player count"},
        {{3, 0, 0, 0, 2, 'a', 0, 'b'}, join, "without its zero byte"},
        {{5, 0, 1, 0, 150, 0, 20, 0, 16}, accept, "too short for the timing values"},
        {{5, 0, 1, 0, 150, 0, 20, 0, 16, 0, 2, 1}, accept, "too short for its slot numbers"},
        {{5, 0, 1, 0, 150, 0, 20, 0, 16, 0, 1, 4}, accept, "slot number above 3"},
        {{5, 0, 1, 0, 150, 0, 20, 0, 16, 0, 0}, accept, "player count not 1 to 3"},
        {{6, 0, 1, 0, 127, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0}, address, "too short for its address"},
        {{6, 0, 1, 0, 127, 0, 0, 1, 0, 0, 0, 0, 4, 0, 0, 0}, address, "player count not 1 to 3"},
        {{6, 0, 1, 0, 127, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 9, 'x', 0}, address, "slot number above 3"},
        {{6, 0, 1, 0, 127, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 1, 'x'}, address, "without its zero byte"},
        {{10, 0, 1, 0}, controls, "too short for the command count"},
        {{10, 0, 1, 0, 2, 0, 1, 0}, controls, "count beyond the datagram's length"},
        {{15, 0, 1, 0, 1, 2, 3, 4, 5, 6, 7}, digest, "too short for the digest"},
    };
    buffer b;
    for (const refusal &c : cases) {
        b.set(c.datagram);
        const char *fault = "";  // the first field that did not fit
        EXPECT_FALSE(c.read(&b.p, &fault)) << c.fault;
        EXPECT_NE(std::string(fault).find(c.fault), std::string::npos) << fault;
    }
    // A join for four players is read, so that the server can refuse it.
    b.set(bytes{3, 0, 0, 0, 4});
    join_pak j;
    EXPECT_TRUE(pak_read_join(&b.p, &j, nullptr) && j.count == 4);
}

}  // namespace
