// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/media/sound_server.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

namespace testmedia {

bool soundServerRequired() {
    const char* required = std::getenv("CLIPFUSE_TEST_SOUND_REQUIRED");
    return required && std::string(required) == "1";
}

SoundServer::SoundServer() {
    // A short folder of its own: a socket's path must fit in 108 bytes, however deep the
    // build folder lies.
    std::string templ = (std::filesystem::temp_directory_path() / "clipfuse-sound-XXXXXX").string();
    if (!::mkdtemp(templ.data())) {
        why_ =
            "no folder for the sound server in " + std::filesystem::temp_directory_path().string();
        return;
    }
    dir_ = templ;
    const std::string socket = dir_ + "/native";
    // As a user's session server, with everything a machine without a desktop lacks left
    // out: no configuration files (-n), no session bus, no real-time scheduling, no shared
    // memory (a container's /dev/shm may be tiny), no CPU watchdog to kill it on a loaded
    // machine. It runs as root too (it only warns), as it does in CI.
    std::vector<std::string> args = {
        "pulseaudio",
        "--daemonize=no",
        "--system=false",
        "--exit-idle-time=-1",
        "--disallow-exit",
        "--use-pid-file=false",
        "--disable-shm=yes",
        "--no-cpu-limit=yes",
        "--realtime=no",
        "--high-priority=no",
        "-n",
        "--load=module-null-sink sink_name=null",
        "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket,
        "--log-target=file:" + dir_ + "/log"};
    // Its own runtime and home folders: nothing shared with another server.
    std::vector<std::string> env = {
        "HOME=" + dir_, "XDG_RUNTIME_DIR=" + dir_, "PULSE_RUNTIME_PATH=" + dir_,
        "PATH=" + std::string(std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin")};
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        // The server ends with the test program, even one that is killed; it keeps none of
        // the program's output streams, so that a pipe reading them ends with the program.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        const int null = ::open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execvpe("pulseaudio", argv.data(), envp.data());
        _exit(127);
    }
    if (pid < 0) {
        why_ = "pulseaudio could not be started";
        return;
    }
    for (int i = 0; i < 100; ++i) {
        struct stat st {};
        if (::stat(socket.c_str(), &st) == 0) {
            pid_ = pid;
            setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
            return;
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
                why_ = "pulseaudio is not installed (scripts/setup.sh installs it)";
                std::error_code ec;
                std::filesystem::remove_all(dir_, ec);
            } else {
                why_ = "pulseaudio ended at once; see " + dir_ + "/log";
            }
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    why_ = "pulseaudio did not answer; see " + dir_ + "/log";
    ::kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

void SoundServer::kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

SoundServer::~SoundServer() {
    if (pid_ <= 0) return;  // the folder stays, with the log that says why
    ::kill(pid_, SIGTERM);
    int status = 0;
    bool ended = false;
    for (int i = 0; i < 50 && !ended; ++i) {
        ended = waitpid(pid_, &status, WNOHANG) == pid_;
        if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!ended) {
        ::kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

}  // namespace testmedia
