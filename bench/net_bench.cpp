// The lock-step exchange on loopback, with the game's own network layer on
// SDL_net in two or three processes:
//   how long after the datagram that completes a turn net_wait_turn
//     returns: computer 0 sends its set and waits; the others send theirs
//     (a PAK_CONTROLS_HAVE, which both brings their set and confirms 0's)
//     a millisecond after 0's has reached them. The delay runs from just
//     before the later of those sends to the return, on the machine's
//     monotonic clock; median and maximum over the turns;
//   beside it, half the round trip of one UDP datagram between two plain
//     sockets on loopback, measured in the same run;
//   the cost of a receive step with nothing waiting, beside one poll() of
//     a socket with nothing waiting.
// As root the benchmark runs in a network namespace of its own, so that the
// game's ports are its own.
//
// Usage: net_bench [turns]   (default 2000)
#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <SDL/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench_timing.h"
#include "frame/log.h"
#include "net/net.h"
#include "net/turn.h"
#include "sim/creature.h"
#include "sim/view.h"

namespace {

const int WARM_UP = 20;
creature players[VIEW_SLOTS];
int watched_channel = -1;  // sends to this channel are timed
double last_watched_send = 0;

// The time is taken just before the datagram leaves: on loopback the
// receiver may wake before the send call has returned.
void timed_send(int channel, const net_packet *p) {
    if (channel == watched_channel) last_watched_send = bench::now_ns();
    sdl_net_io.send(channel, p);
}

uint32_t loopback() {
    uint32_t h = htonl(INADDR_LOOPBACK);
    return h;
}

// Computer `me` of `n`, its nodes bound to the others' ports, one player each.
void set_up(int me, int n) {
    SDL_Init(SDL_INIT_TIMER);
    log_enabled = false;
    for (int i = 0; i < VIEW_SLOTS; i++) views[i].creature = &players[i];
    net_io = sdl_net_io;
    net_io.send = timed_send;
    net_world_digest = [] { return (uint64_t)0; };
    net_init();
    net_is_server = me == 0;
    net_open_socket();
    net_nodes[0].player_count = 1;
    net_nodes[0].players[0] = me;
    int node = 1;
    for (int other = 0; other < n; other++) {
        if (other == me) continue;
        net_reset_node(node);
        net_bind_node(node, loopback(), net_port_net((uint16_t)(NET_SERVER_PORT + other)));
        net_nodes[node].player_count = 1;
        net_nodes[node].players[0] = other;
        if (other == 0) watched_channel = node;
        node++;
    }
}

// One computer's turns; writes a time per turn into `out`: computer 0 when
// its wait returned, the others when their set went to 0.
void run_computer(int me, int n, int turns, int out) {
    set_up(me, n);
    std::vector<double> times;
    for (int t = 0, set = 0; t < turns + WARM_UP; t++, set ^= 1) {
        net_begin_turn(set, 0);
        if (me == 0) {
            net_send_controls(set);
            net_wait_turn();
            times.push_back(bench::now_ns());
        } else {
            while (!net_nodes[watched_channel].controls_received) net_receive(1);
            usleep(1000);  // computer 0 is surely waiting by now
            net_send_controls(set);
            times.push_back(last_watched_send);
            net_wait_turn();
        }
    }
    if (write(out, times.data(), times.size() * sizeof(double)) < 0) _exit(2);
    _exit(0);
}

struct spread {
    double median_ms, max_ms;
    int late;  // turns later than 6 ms
};

spread of(std::vector<double> ns) {
    std::sort(ns.begin(), ns.end());
    spread s = {ns[ns.size() / 2] / 1e6, ns.back() / 1e6, 0};
    for (double v : ns) s.late += v > 6e6;
    return s;
}

bool exchange(int computers, int turns, spread *result) {
    std::vector<int> pipes;
    std::vector<pid_t> pids;
    for (int me = 0; me < computers; me++) {
        int p[2];
        if (pipe(p) != 0) return false;
        pid_t pid = fork();
        if (pid == 0) {
            close(p[0]);
            // The server's socket must be open before the others send.
            if (me > 0) usleep(200000);
            run_computer(me, computers, turns, p[1]);
        }
        close(p[1]);
        pipes.push_back(p[0]);
        pids.push_back(pid);
    }
    std::vector<std::vector<double>> times(computers);
    for (int me = 0; me < computers; me++) {
        times[me].resize((size_t)(turns + WARM_UP));
        size_t want = times[me].size() * sizeof(double), got = 0;
        char *to = reinterpret_cast<char *>(times[me].data());
        for (ssize_t r; got < want && (r = read(pipes[me], to + got, want - got)) > 0;) got += (size_t)r;
        close(pipes[me]);
        if (got < want) return false;
    }
    for (pid_t pid : pids) waitpid(pid, nullptr, 0);
    std::vector<double> delays;
    for (int t = WARM_UP; t < turns + WARM_UP; t++) {
        double completing = 0;
        for (int me = 1; me < computers; me++) completing = std::max(completing, times[me][(size_t)t]);
        delays.push_back(times[0][(size_t)t] - completing);
    }
    *result = of(delays);
    return true;
}

int bound_socket() {
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
    return fd;
}

uint16_t port_of(int fd) {
    sockaddr_in a = {};
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len);
    return a.sin_port;
}

// Half of each round trip of one byte between two processes.
spread one_way(int rounds) {
    int ping = bound_socket(), pong = bound_socket();
    sockaddr_in to_ping = {}, to_pong = {};
    to_ping.sin_family = to_pong.sin_family = AF_INET;
    to_ping.sin_addr.s_addr = to_pong.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to_ping.sin_port = port_of(ping);
    to_pong.sin_port = port_of(pong);
    pid_t pid = fork();
    if (pid == 0) {
        char b;
        for (int i = 0; i < rounds; i++) {
            if (recv(pong, &b, 1, 0) != 1) _exit(1);
            sendto(pong, &b, 1, 0, reinterpret_cast<sockaddr *>(&to_ping), sizeof to_ping);
        }
        _exit(0);
    }
    std::vector<double> halves;
    for (int i = 0; i < rounds; i++) {
        char b = 'x';
        double t0 = bench::now_ns();
        sendto(ping, &b, 1, 0, reinterpret_cast<sockaddr *>(&to_pong), sizeof to_pong);
        if (recv(ping, &b, 1, 0) != 1) break;
        halves.push_back((bench::now_ns() - t0) / 2);
    }
    waitpid(pid, nullptr, 0);
    close(ping);
    close(pong);
    return of(halves);
}

// A loopback of its own when the process may have one.
bool private_network() {
    if (unshare(CLONE_NEWNET) != 0) return false;
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    ifreq r = {};
    strcpy(r.ifr_name, "lo");
    bool up = ioctl(fd, SIOCGIFFLAGS, &r) == 0 && (r.ifr_flags |= IFF_UP, ioctl(fd, SIOCSIFFLAGS, &r) == 0);
    close(fd);
    return up;
}

}  // namespace

int main(int argc, char **argv) {
    int turns = argc > 1 ? atoi(argv[1]) : 2000;
    if (turns < 1) turns = 2000;
    printf("network: %s\n", private_network() ? "a namespace of its own" : "the host's loopback");

    spread rtt = one_way(turns);
    printf("one-way UDP datagram on loopback (half a round trip): median %.3f ms, max %.3f ms\n", rtt.median_ms,
           rtt.max_ms);
    for (int computers : {2, 3}) {
        spread s;
        if (!exchange(computers, turns, &s)) {
            printf("%d computers: the exchange failed\n", computers);
            return 1;
        }
        printf("%d computers, %d turns: net_wait_turn returned %.3f ms (median) and %.3f ms (max) after the completing "
               "datagram was sent; %d turns later than 6 ms\n",
               computers, turns, s.median_ms, s.max_ms, s.late);
    }

    // The receive step with nothing waiting, beside a bare poll().
    set_up(1, 2);
    int fd = bound_socket();
    bench::timing t = bench::measure([] { net_receive(0); },
                                     [fd] {
                                         pollfd p = {fd, POLLIN, 0};
                                         poll(&p, 1, 0);
                                     },
                                     9, 2e7, 1 << 22);
    printf("receive step with nothing waiting: %.0f ns; poll() of an idle socket: %.0f ns\n", t.ns, t.ref_ns);
    return 0;
}
