// Throughput and peak memory of the render engine alone (no encoder): every frame and all
// the sound pulled as a writer would. Each scenario runs in a child process so that its
// peak memory is its own. Figures depend on the machine and its load.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "media/core/log.h"
#include "media/render/render_engine.h"
#include "support/media/test_media.h"

using namespace media;

namespace {

const char* kFade = "{16B280C5-EE70-11D1-9066-00C04FD9189D}";

struct Clip {
    std::string path;
    Ticks duration;
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

// The clips laid out as the program lays them: each transition overlaps the clip before.
std::shared_ptr<Timeline> joinTimeline(const std::vector<Clip>& clips, Ticks transition, int width,
                                       int height, double fps) {
    auto tl = std::make_shared<Timeline>();
    Ticks length = 0;
    for (const auto& c : clips) length += c.duration;
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
    Ticks c = -(transition / 2), a = 0;
    for (std::size_t i = 0; i < clips.size(); ++i) {
        std::shared_ptr<Track> track;
        std::shared_ptr<Source> src;
        tl->createTrack(track);
        video->vTrackInsBefore(track, -1);
        tl->createSource(src);
        Ticks start = std::max<Ticks>(c, 0),
              stop = std::min(length, c + clips[i].duration + transition);
        src->setStartStop(start, stop);
        src->setMediaTimes(0, stop - start);
        src->setMediaName(clips[i].path);
        src->setStretchMode(2);
        track->srcAdd(src);
        if (i > 0) {
            std::shared_ptr<Transition> x;
            tl->createTransition(x);
            x->setSubObjectGuid(kFade);
            x->setStartStop(start, std::min(length, start + transition));
            track->transAdd(x);
        }
        c = stop - transition;

        std::shared_ptr<Track> soundTrack;
        std::shared_ptr<Source> sound;
        tl->createTrack(soundTrack);
        audio->vTrackInsBefore(soundTrack, -1);
        tl->createSource(sound);
        Ticks b = std::min(length, a + clips[i].duration);
        sound->setStartStop(a, b);
        sound->setMediaTimes(0, b - a);
        sound->setMediaName(clips[i].path);
        soundTrack->srcAdd(sound);
        a = b;
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
        clips.push_back({benchClip("hd" + std::to_string(i) + ".mp4", s), 10 * kTicksPerSecond});
    }
    return clips;
}

void sd352() {
    renderAndReport("5 x 10 s 720p30, 4 fades -> 352x240 23.976",
                    joinTimeline(hdClips(), kTicksPerSecond, 352, 240, 23.976));
}
void sd720() {
    renderAndReport("5 x 10 s 720p30, 4 fades -> 720x480 23.976",
                    joinTimeline(hdClips(), kTicksPerSecond, 720, 480, 23.976));
}

void thousand() {
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
    std::vector<Clip> clips;
    for (int i = 0; i < 1000; ++i)
        clips.push_back({files[static_cast<std::size_t>(i) % files.size()], kTicksPerSecond / 2});
    renderAndReport("1000 x 0.5 s clips, 0.2 s fades -> 352x240 25",
                    joinTimeline(clips, kTicksPerSecond / 5, 352, 240, 25));
}

}  // namespace

int main() {
    setLogSink([](LogLevel, const std::string&) {});
    hdClips();
    std::printf("render engine alone, no encoder, sound pulled too (the machine may be loaded)\n");
    inChild(sd352);
    inChild(sd720);
    inChild(thousand);
    return 0;
}
