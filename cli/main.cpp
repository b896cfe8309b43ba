// SPDX-License-Identifier: GPL-3.0-or-later
// clipfuse-join: joins clips into one video file from the command line, with the settings
// Clipfuse keeps. Needs no display.
#include <QCoreApplication>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <unistd.h>

#include "app/settings_store.h"
#include "cli/console_messages.h"
#include "cli/headless_join.h"
#include "cli/join_arguments.h"
#include "media/core/log.h"

namespace {

std::atomic<bool> stopRequested{false};

void requestStop(int) { stopRequested.store(true); }

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication qt(argc, argv);
    const cli::ParsedArguments parsed = cli::parseJoinArguments(QCoreApplication::arguments());
    if (!parsed.request) {
        std::fprintf(parsed.helpWanted ? stdout : stderr, "%s\n", parsed.text.toUtf8().constData());
        if (!parsed.helpWanted) std::fputs("Try clipfuse-join --help.\n", stderr);
        return parsed.helpWanted ? cli::kJoined : cli::kUsage;
    }
    // Ctrl+C and a polite kill stop the render as the Stop button does: the file keeps what
    // was written.
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);

    if (parsed.request->verbose)
        media::setLibraryLogSink([](media::LogLevel, const std::string& line) {
            std::fprintf(stderr, "%s\n", line.c_str());
        });

    cli::ConsoleMessages messages(stderr);
    // The main program's settings, whatever this program's own file is called.
    SettingsStore store(QStringLiteral("KORVANE"), QStringLiteral("clipfuse"));
    cli::Terminal terminal;
    terminal.rewriteLine = isatty(fileno(stderr)) != 0;
    return cli::runHeadlessJoin(*parsed.request, store, stopRequested, terminal);
}
