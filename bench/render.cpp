// SPDX-License-Identifier: GPL-3.0-or-later
// Throughput and peak memory of the render engine alone (no encoder): every frame and all
// the sound pulled as a writer would. Each scenario runs in a child process so that its
// peak memory is its own. Figures depend on the machine and its load.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "media/core/log.h"
#include "media/render/render_engine.h"
#include "support/media/test_media.h"
#include "timeline/clip_placement.h"
#include "timeline/transition_catalogue.h"

using namespace media;

namespace {

constexpr int kFadeIndex = 3;

struct Clip {
    std::string path;
    Ticks duration;
    Ticks transition = 0;  // the transition that leads into the clip
    int transitionIndex = 0;
};

std::string benchClip(const std::string& name, testmedia::ClipSpec recipe) {
    std::filesystem::create_directories("/tmp/clipfuse-bench");
    std::string path = "/tmp/clipfuse-bench/" + name;
    if (!std::filesystem::exists(path)) {
        std::printf("making %s ...\n", path.c_str());
        std::fflush(stdout);
        if (!testmedia::makeClip(path, recipe)) std::exit(1);
    }
    return path;
}

// The clips laid out as the program lays them, with the program's own placement.
std::shared_ptr<Timeline> joinTimeline(const std::vector<Clip>& clips, int width, int height, double fps) {
    std::vector<timeline::ClipTiming> timings;
    std::vector<Ticks> sound;
    for (const auto& c : clips) {
        timings.push_back({c.duration, c.transition, c.transitionIndex});
        sound.push_back(c.duration);
    }
    const timeline::Placement placed = timeline::placeClips(timings, sound);

    auto tl = std::make_shared<Timeline>();
    std::shared_ptr<Group> video, audio;
    tl->createGroup(video);
    video->setMediaType(GroupMediaType::makeVideo(width, height));
    video->setOutputFps(fps);
    video->setPreviewMode(false);
    tl->addGroup(video);
    tl->createGroup(audio);
    audio->setMediaType(GroupMediaType::makeAudio());
    audio->setPreviewMode(false);
    tl->addGroup(audio);
    for (std::size_t i = 0; i < clips.size(); ++i) {
        const timeline::ClipPlacement& p = placed.clips[i];
        std::shared_ptr<Track> track;
        std::shared_ptr<Source> src;
        tl->createTrack(track);
        video->vTrackInsBefore(track, -1);
        tl->createSource(src);
        src->setStartStop(p.start, p.stop);
        src->setMediaTimes(0, p.stop - p.start);
        src->setMediaName(clips[i].path);
        src->setStretchMode(2);
        track->srcAdd(src);
        if (p.hasTransition()) {
            using timeline::TransitionCatalogue;
            std::shared_ptr<Transition> x;
            tl->createTransition(x);
            x->setSubObjectGuid(std::string(TransitionCatalogue::effectClass(p.transitionIndex)));
            x->setStartStop(p.transitionStart, p.transitionStop);
            if (auto mask = TransitionCatalogue::maskNum(p.transitionIndex)) {
                auto setter = std::make_shared<PropertySetter>();
                setter->addProp("MaskNum", *mask, 0);
                x->setPropertySetter(setter);
            }
            track->transAdd(x);
        }
    }
    for (const timeline::AudioPlacement& a : placed.audio) {
        std::shared_ptr<Track> soundTrack;
        std::shared_ptr<Source> piece;
        tl->createTrack(soundTrack);
        audio->vTrackInsBefore(soundTrack, -1);
        tl->createSource(piece);
        piece->setStartStop(a.start, a.stop);
        piece->setMediaTimes(0, a.stop - a.start);
        piece->setMediaName(clips[static_cast<std::size_t>(a.entry)].path);
        soundTrack->srcAdd(piece);
    }
    return tl;
}

void renderAndReport(const char* title, const std::shared_ptr<Timeline>& tl) {
    render::RenderEngine engine;
    engine.setTimelineObject(tl);
    engine.connectFrontEnd();
    render::OutputInfo video, audio;
    engine.outputInfo(0, video);
    engine.outputInfo(1, audio);
    const auto begin = std::chrono::steady_clock::now();
    engine.run();
    std::int64_t frames = 0, samples = 0;
    for (;;) {
        Frame f;
        Status s = engine.nextVideoFrame(0, f);
        if (s.code() == render::RenderEngine::kEndOfStream) break;
        if (!s) {
            std::printf("%s: failed: %s\n", title, s.text().c_str());
            std::exit(1);
        }
        ++frames;
        // The sound up to this frame's end, as a writer interleaves it.
        const std::int64_t due = (f.pts + static_cast<Ticks>(kTicksPerSecond / video.fps)) *
                                 audio.audio.sampleRate / kTicksPerSecond;
        while (samples < due) {
            render::AudioBlock b;
            if (engine.readAudio(1, static_cast<int>(due - samples), b).code() != 0 ||
                b.size() == 0)
                break;
            samples += b.size();
        }
    }
    for (;;) {
        render::AudioBlock b;
        if (engine.readAudio(1, 4096, b).code() != 0) break;
        samples += b.size();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    engine.stop();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double length = ticksToSeconds(video.length);
    std::printf("%-44s %6lld frames (%lld expected), %8lld samples (%lld expected)\n", title,
                static_cast<long long>(frames), static_cast<long long>(video.frameCount),
                static_cast<long long>(samples), static_cast<long long>(audio.sampleCount));
    std::printf("%-44s %7.1f output frames/s, %5.2f x real time, peak memory %.1f MB\n", "",
                frames / seconds, length / seconds, usage.ru_maxrss / 1024.0);
    std::fflush(stdout);
}

void inChild(void (*scenario)()) {
    std::fflush(stdout);
    pid_t pid = fork();
    if (pid == 0) {
        scenario();
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
}

std::vector<Clip> hdClips() {
    std::vector<Clip> clips;
    const char* colours[] = {"red", "green", "blue", "yellow", "purple"};
    for (int i = 0; i < 5; ++i) {
        testmedia::ClipSpec s;
        s.width = 1280;
        s.height = 720;
        s.frameRate = "30";
        s.seconds = 10;
        s.colour = colours[i];
        s.toneHz = 300 + 100 * i;
        // Moving grain, so that the decoder has real pictures to decode.
        s.extraOutputArgs = "-vf noise=alls=10:allf=t -crf 23";
        clips.push_back({benchClip("hd" + std::to_string(i) + ".mp4", s), 10 * kTicksPerSecond,
                         i == 0 ? 0 : kTicksPerSecond, i == 0 ? 0 : kFadeIndex});
    }
    return clips;
}

void sd352() {
    renderAndReport("5 x 10 s 720p30, 4 fades -> 352x240 23.976",
                    joinTimeline(hdClips(), 352, 240, 23.976));
}
void sd720() {
    renderAndReport("5 x 10 s 720p30, 4 fades -> 720x480 23.976",
                    joinTimeline(hdClips(), 720, 480, 23.976));
}

std::vector<std::string> tinyClips() {
    std::vector<std::string> files;
    const char* colours[] = {"red", "green", "blue", "white", "orange"};
    for (int i = 0; i < 5; ++i) {
        testmedia::ClipSpec s;
        s.width = 160;
        s.height = 120;
        s.frameRate = "25";
        s.seconds = 1;
        s.colour = colours[i];
        files.push_back(benchClip("tiny" + std::to_string(i) + ".mp4", s));
    }
    return files;
}

void thousand() {
    const std::vector<std::string> files = tinyClips();
    std::vector<Clip> clips;
    for (int i = 0; i < 1000; ++i)
        clips.push_back({files[static_cast<std::size_t>(i) % files.size()], kTicksPerSecond / 2,
                         kTicksPerSecond / 5, kFadeIndex});
    renderAndReport("1000 x 0.5 s clips, 0.2 s fades -> 352x240 25", joinTimeline(clips, 352, 240, 25));
}

// Memory must not grow with the number of transitions: every clip gets a 1 s transition
// drawn at random from all 47 (with a fixed seed, so that runs compare), at 1280x720.
void randomTransitions(int count) {
    const std::vector<std::string> files = tinyClips();
    std::mt19937 draw(2026);
    std::vector<Clip> clips;
    for (int i = 0; i < count; ++i)
        clips.push_back({files[static_cast<std::size_t>(i) % files.size()], kTicksPerSecond, kTicksPerSecond,
                         static_cast<int>(draw() % timeline::TransitionCatalogue::kCount)});
    const std::string title = std::to_string(count) + " x 1 s clips, random 1 s transitions -> 1280x720 10";
    renderAndReport(title.c_str(), joinTimeline(clips, 1280, 720, 10));
}
void hundredRandom() { randomTransitions(100); }
void eightHundredRandom() { randomTransitions(800); }

}  // namespace

int main() {
    setLogSink([](LogLevel, const std::string&) {});
    hdClips();
    std::printf("render engine alone, no encoder, sound pulled too (the machine may be loaded)\n");
    inChild(sd352);
    inChild(sd720);
    inChild(thousand);
    inChild(hundredRandom);
    inChild(eightHundredRandom);
    return 0;
}
