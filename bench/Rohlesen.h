#pragma once

// The yardsticks the benchmarks measure the program against: the bare read
// of a file, and the CPU time of this process (on a shared machine the wall
// clock also measures the neighbours).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <memory>
#include <string>

// Reads a whole file into a buffer of its size, with nothing else around it:
// the least any loader must spend. The bytes read.
inline std::size_t RohLesen(const std::string& pfad) {
    const int fd = ::open(pfad.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    struct stat st {};
    ::fstat(fd, &st);
    const auto groesse = static_cast<std::size_t>(st.st_size);
    std::unique_ptr<char[]> puffer(new char[groesse]);
    std::size_t gelesen = 0;
    while (gelesen < groesse) {
        const ssize_t n =
            ::pread(fd, puffer.get() + gelesen, groesse - gelesen, static_cast<off_t>(gelesen));
        if (n <= 0) {
            break;
        }
        gelesen += static_cast<std::size_t>(n);
    }
    ::close(fd);
    benchmark::DoNotOptimize(puffer.get());
    return gelesen;
}

// The CPU time of this process so far, in seconds.
inline double Rechenzeit() {
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}
