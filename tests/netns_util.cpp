// Network namespaces, a bridged LAN of them and the test's UDP peer.
#include "netns_util.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <cstring>

#include "test_util.h"

namespace {

const char *const IP = "/usr/sbin/ip";
const char *const NFT = "/usr/sbin/nft";

bool ok(const std::vector<std::string> &argv) { return run_program(argv, "/", {}, 20000).status == 0; }

// A fresh name; on the first call, namespaces left by dead test processes go.
std::string fresh_name() {
    static int made = 0;
    if (made == 0) {
        run_result list = run_program({IP, "netns", "list"}, "/", {}, 10000);
        for (size_t at = 0, end; (end = list.out.find('\n', at)) != std::string::npos; at = end + 1) {
            std::string line = list.out.substr(at, end - at), name = line.substr(0, line.find(' '));
            int pid = 0;
            if (sscanf(name.c_str(), "fenda%d_", &pid) == 1 && pid > 0 && kill(pid, 0) != 0)
                ok({IP, "netns", "delete", name});
        }
    }
    return "fenda" + std::to_string(getpid()) + "_" + std::to_string(made++);
}

std::string make_namespace() {
    std::string name = fresh_name();
    if (!ok({IP, "netns", "add", name})) return "";
    ok({IP, "-n", name, "link", "set", "lo", "up"});
    return name;
}

sockaddr_in loopback(uint16_t port) {
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

}  // namespace

bool namespaces_available(bool with_loss) {
    return geteuid() == 0 && access(IP, X_OK) == 0 && (!with_loss || access(NFT, X_OK) == 0);
}

net_space::net_space() {
    if (namespaces_available()) name = make_namespace();
}

bool net_space::lose(int percent) {
    // Dropped on the way in, so that senders see no error.
    std::string rule = "add rule inet loss in meta l4proto udp numgen random mod 100 < " + std::to_string(percent) + " drop";
    return !name.empty() && access(NFT, X_OK) == 0 && ok({IP, "netns", "exec", name, NFT, "add table inet loss"}) &&
           ok({IP, "netns", "exec", name, NFT, "add chain inet loss in { type filter hook input priority 0 ; }"}) &&
           ok({IP, "netns", "exec", name, NFT, rule});
}

net_space::~net_space() {
    if (!name.empty()) ok({IP, "netns", "delete", name});
}

std::vector<std::string> net_space::prefix() const {
    return name.empty() ? std::vector<std::string>{} : std::vector<std::string>{IP, "netns", "exec", name};
}

bridged_lan::bridged_lan() {
    if (!namespaces_available()) return;
    bridge = make_namespace();
    if (bridge.empty() || !ok({IP, "-n", bridge, "link", "add", "br0", "type", "bridge"}) ||
        !ok({IP, "-n", bridge, "link", "set", "br0", "up"}))
        return;
    for (int i = 0; i < 3; i++) {
        member[i] = make_namespace();
        std::string port = "p" + std::to_string(i);
        if (member[i].empty() || !ok({IP, "-n", bridge, "link", "add", port, "type", "veth", "peer", "name", "eth0", "netns", member[i]}) ||
            !ok({IP, "-n", bridge, "link", "set", port, "master", "br0", "up"}) ||
            !ok({IP, "-n", member[i], "addr", "add", address(i) + "/24", "dev", "eth0"}) ||
            !ok({IP, "-n", member[i], "link", "set", "eth0", "up"}))
            return;
    }
    ready = true;
}

bridged_lan::~bridged_lan() {
    for (const std::string &m : member)
        if (!m.empty()) ok({IP, "netns", "delete", m});
    if (!bridge.empty()) ok({IP, "netns", "delete", bridge});
}

std::vector<std::string> bridged_lan::prefix(int i) const { return {IP, "netns", "exec", member[i]}; }

udp_peer::udp_peer(const std::string &space, uint16_t port) {
    int home = -1, there = -1;
    if (!space.empty()) {
        home = open("/proc/self/ns/net", O_RDONLY);
        there = open(("/var/run/netns/" + space).c_str(), O_RDONLY);
        if (home < 0 || there < 0 || setns(there, CLONE_NEWNET) != 0) {
            if (home >= 0) close(home);
            if (there >= 0) close(there);
            return;
        }
    }
    fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a = loopback(port);
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0) {
        close(fd);
        fd = -1;
    }
    if (home >= 0) {
        // The socket stays in the namespace it was made in.
        setns(home, CLONE_NEWNET);
        close(home);
        close(there);
    }
}

udp_peer::~udp_peer() {
    if (fd >= 0) close(fd);
}

void udp_peer::send_to(uint16_t port, const bytes &data) {
    sockaddr_in a = loopback(port);
    sendto(fd, data.data(), data.size(), 0, reinterpret_cast<sockaddr *>(&a), sizeof a);
}

bool udp_peer::expect(int type, bytes *data, uint16_t *from_port, int timeout_ms) {
    for (long long end = now_ms() + timeout_ms;;) {
        pollfd p = {fd, POLLIN, 0};
        int left = (int)(end - now_ms());
        if (fd < 0 || left <= 0 || poll(&p, 1, left) <= 0) return false;
        uint8_t buffer[2048];
        sockaddr_in a = {};
        socklen_t len = sizeof a;
        ssize_t n = recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr *>(&a), &len);
        if (n < 0) return false;
        data->assign(buffer, buffer + n);
        if (from_port) *from_port = ntohs(a.sin_port);
        if (n > 0 && buffer[0] == type) return true;
    }
}

uint32_t ipv4(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
    const uint8_t raw[4] = {a, b, c, d};
    uint32_t host;
    memcpy(&host, raw, 4);
    return host;
}

bytes join_request(const std::vector<std::string> &names) {
    bytes b = {3, 0, 0, 0, (uint8_t)names.size()};
    for (const std::string &n : names) {
        b.insert(b.end(), n.begin(), n.end());
        b.push_back(0);
    }
    return b;
}

bytes ack_of(const bytes &d) { return {1, 0, d[2], d[3], d[0]}; }

const char *const NET_LOOP_STARTED = ": net_packet_interval = 150, net_control_interval = 20, net_control_send_time = 16\n";
