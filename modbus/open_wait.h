#pragma once

namespace kelvora {

// An open of the port search that is still under way. The search's ticks wait for it, up to
// about two seconds, then give it up and move on.
class OpenWait {
public:
    static constexpr int kTickMs = 300;
    static constexpr int kLimitMs = 2000;

    void start(int portNumber) {
        port_ = portNumber;
        ticks_ = 0;
    }
    bool pending() const { return port_ != 0; }
    int port() const { return port_; }
    // One search tick has found the open still under way: true once it is to be given up.
    bool tickIsLast() { return ++ticks_ * kTickMs >= kLimitMs; }
    // Ends the wait and gives the port that was waited for.
    int finish() {
        const int port = port_;
        port_ = 0;
        return port;
    }

private:
    int port_ = 0;
    int ticks_ = 0;
};

}  // namespace kelvora
