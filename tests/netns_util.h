// Private networks for the network tests: with root rights, namespaces of
// the test's own (loopback only, or a bridged LAN); without, the host's
// loopback. And a UDP socket that speaks the wire format as a peer.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// True when namespaces can be made here (root, ip; nft for loss).
bool namespaces_available(bool with_loss = false);

struct net_space {
    std::string name;  // "" when the host's loopback is used
    net_space();
    ~net_space();
    // From now on, a share of the UDP datagrams is lost on the way in.
    bool lose(int percent);
    net_space(const net_space &) = delete;
    net_space &operator=(const net_space &) = delete;
    // What to put before a program to run it inside: ip netns exec NAME.
    std::vector<std::string> prefix() const;
};

// Three namespaces, each with one interface on a shared bridge (held in a
// fourth namespace) at 10.77.0.(i + 1)/24; `ready` is false when they could
// not all be made.
struct bridged_lan {
    bool ready = false;
    std::string bridge;
    std::string member[3];
    bridged_lan();
    ~bridged_lan();
    bridged_lan(const bridged_lan &) = delete;
    bridged_lan &operator=(const bridged_lan &) = delete;
    std::vector<std::string> prefix(int i) const;
    static std::string address(int i) { return "10.77.0." + std::to_string(i + 1); }
};

typedef std::vector<uint8_t> bytes;
inline bytes operator+(bytes a, const bytes &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
// An IPv4 address as SDL_net keeps it (network byte order in memory).
uint32_t ipv4(uint8_t a, uint8_t b, uint8_t c, uint8_t d);
// A PAK_JOIN for players of these names, and the PAK_ACK of a datagram.
bytes join_request(const std::vector<std::string> &names);
bytes ack_of(const bytes &datagram);
// The log line that starts a network game's loop (the data set's timing).
extern const char *const NET_LOOP_STARTED;

// A UDP socket bound to 127.0.0.1:port inside the namespace (or on the host).
struct udp_peer {
    int fd = -1;
    udp_peer(const std::string &space, uint16_t port);
    ~udp_peer();
    udp_peer(const udp_peer &) = delete;
    udp_peer &operator=(const udp_peer &) = delete;
    void send_to(uint16_t port, const bytes &data);
    // Receives until a datagram of `type` comes within `timeout_ms`; the
    // others are dropped.
    bool expect(int type, bytes *data, uint16_t *from_port, int timeout_ms);
};
