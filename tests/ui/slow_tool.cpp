// Stands in for an uptime.exe that waits long for a remote machine: prints after 30 s.
#include <chrono>
#include <cstdio>
#include <thread>

int main() {
    std::this_thread::sleep_for(std::chrono::seconds(30));
    std::puts("\\\\SLOW has been up for: 0 day(s)");
    return 0;
}
