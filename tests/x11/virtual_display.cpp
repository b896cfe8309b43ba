// SPDX-License-Identifier: GPL-3.0-or-later
#include "virtual_display.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace testx11 {
namespace {

pid_t spawn(const std::string& command, int stdoutFd = -1) {
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        const int null = ::open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(null, STDERR_FILENO);
        if (stdoutFd < 0) dup2(null, STDOUT_FILENO);
        execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

void end(pid_t pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

}  // namespace

std::string runOnDisplay(const std::string& command, int* exitCode) {
    std::string out;
    FILE* p = popen((command + " 2>/dev/null").c_str(), "r");
    if (!p) {
        if (exitCode) *exitCode = -1;
        return out;
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, p)) out += buffer;
    const int status = pclose(p);
    if (exitCode) *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    return out;
}

VirtualDisplay::VirtualDisplay(int width, int height, const std::string& windowManager) {
    // Xvfb picks a free display number and writes it to the pipe.
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        why_ = "no pipe";
        return;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        ::close(pipeFds[0]);
        const int null = ::open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        const std::string fd = std::to_string(pipeFds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
               "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    ::close(pipeFds[1]);
    server_ = pid;
    std::string number;
    char c;
    while (::read(pipeFds[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(pipeFds[0]);
    if (number.empty()) {
        why_ = "Xvfb did not start (is the xvfb package installed?)";
        end(server_);
        server_ = -1;
        return;
    }
    name_ = ":" + number;
    setenv("DISPLAY", name_.c_str(), 1);
    if (windowManager.empty()) return;
    windowManager_ = spawn(windowManager);
    // The window manager is there once it has named itself on the root window.
    for (int i = 0; i < 200; ++i) {
        int code = -1;
        runOnDisplay("wmctrl -m", &code);
        if (code == 0) return;
        if (waitpid(windowManager_, nullptr, WNOHANG) == windowManager_) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    why_ = "the window manager did not start: " + windowManager;
    end(windowManager_);
    windowManager_ = -1;
    name_.clear();
}

VirtualDisplay::~VirtualDisplay() {
    end(windowManager_);
    end(server_);
}

}  // namespace testx11
