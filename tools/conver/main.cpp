// conver: converts a WAV file into an MP3 file.
//
//   conver SOURCE.wav TARGET.mp3
//
// The MP3 is written beside the target under a temporary name and renamed into place only when
// it is complete, so the target is either the whole MP3 or untouched. Progress goes to standard
// output as "NN%" lines; a failure is one line on standard error and a non-zero exit status.
//
// The source and the target are regular files: a device or a FIFO is refused, never read from
// (which could wait for a writer for good) nor replaced. The target is never the source itself
// (by any spelling or link), and a target the user made read-only is refused, not replaced.
// "100%" is printed only once the MP3 is in place: a write that fails on the way (a full disk)
// ends the conversion with its reason. A conversion cut short by a signal
// or the file-size limit removes its temporary file; a stale one is replaced by the next run.
#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

int fail(const std::string& message)
{
    std::fprintf(stderr, "conver: %s\n", message.c_str());
    return 1;
}

// The temporary file a signal handler removes; set only while it exists.
char g_partial[4096];
volatile std::sig_atomic_t g_partialSet = 0;

extern "C" void removePartialAndDie(int signal)
{
    if (g_partialSet)
        ::unlink(g_partial);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void guardPartial(const std::string& partial)
{
    if (partial.size() >= sizeof g_partial)
        return;
    std::memcpy(g_partial, partial.c_str(), partial.size() + 1);
    g_partialSet = 1;
    for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE})
        std::signal(s, removePartialAndDie);
    // Past the file-size limit a write then fails with EFBIG and the error path cleans up.
    std::signal(SIGXFSZ, SIG_IGN);
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Why `target` (or its temporary) may not be written over, or an empty text.
std::string refusedTarget(const std::string& source, const std::string& target, const std::string& partial)
{
    struct stat src{};
    if (::stat(source.c_str(), &src) != 0)
        return {}; // reading the source reports it
    struct stat t{};
    if (::stat(target.c_str(), &t) == 0) {
        if (sameFile(src, t))
            return "\"" + target + "\" is the source itself; choose another name for the MP3";
        if (!S_ISREG(t.st_mode))
            return "\"" + target + "\" is not a regular file";
        // The rename would replace it whatever its mode: the folder's permission decides that.
        if ((t.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)
            return "\"" + target + "\" is read-only; it is left as it is";
    }
    if (::lstat(partial.c_str(), &t) == 0 && sameFile(src, t))
        return "\"" + partial + "\" is the source itself; choose another name for the MP3";
    return {};
}

// The MP3's file, written through our own calls so that no failed write goes unnoticed: the
// encoder does not report every one (a full disk, the file-size limit).
struct Sink {
    int fd = -1;
    int error = 0;
};

sf_count_t sinkLength(void* user)
{
    struct stat info {};
    return ::fstat(static_cast<Sink*>(user)->fd, &info) == 0 ? sf_count_t(info.st_size) : -1;
}

sf_count_t sinkSeek(sf_count_t offset, int whence, void* user)
{
    return ::lseek(static_cast<Sink*>(user)->fd, off_t(offset), whence);
}

sf_count_t sinkRead(void* ptr, sf_count_t count, void* user)
{
    const ssize_t n = ::read(static_cast<Sink*>(user)->fd, ptr, std::size_t(count));
    return n < 0 ? 0 : n;
}

sf_count_t sinkWrite(const void* ptr, sf_count_t count, void* user)
{
    auto* sink = static_cast<Sink*>(user);
    const char* bytes = static_cast<const char*>(ptr);
    sf_count_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(sink->fd, bytes + done, std::size_t(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (!sink->error)
                sink->error = n < 0 ? errno : ENOSPC;
            break;
        }
        done += n;
    }
    return done;
}

sf_count_t sinkTell(void* user)
{
    return ::lseek(static_cast<Sink*>(user)->fd, 0, SEEK_CUR);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return fail("usage: conver SOURCE.wav TARGET.mp3");
    const std::string source = argv[1];
    const std::string target = argv[2];

    // Opened without waiting: a FIFO would otherwise block here until someone writes into it.
    const int sourceFd = ::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (sourceFd < 0)
        return fail("cannot read \"" + source + "\": " + std::strerror(errno));
    struct stat sourceInfo{};
    if (::fstat(sourceFd, &sourceInfo) != 0 || !S_ISREG(sourceInfo.st_mode)) {
        ::close(sourceFd);
        return fail("cannot read \"" + source + "\": it is not a regular file");
    }
    ::fcntl(sourceFd, F_SETFL, ::fcntl(sourceFd, F_GETFL) & ~O_NONBLOCK);
    SF_INFO in{};
    SNDFILE* input = sf_open_fd(sourceFd, SFM_READ, &in, SF_TRUE);
    if (!input)
        return fail("cannot read \"" + source + "\": " + sf_strerror(nullptr));
    if (in.channels < 1 || in.channels > 2) {
        sf_close(input);
        return fail("\"" + source + "\" has " + std::to_string(in.channels) + " channels; MP3 holds one or two");
    }

    SF_INFO out{};
    out.samplerate = in.samplerate;
    out.channels = in.channels;
    out.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    if (!sf_format_check(&out)) {
        sf_close(input);
        return fail("MP3 cannot hold a sample rate of " + std::to_string(in.samplerate) + " Hz");
    }
    const std::string partial = target + ".part";
    if (const std::string why = refusedTarget(source, target, partial); !why.empty()) {
        sf_close(input);
        return fail(why);
    }
    // A stale temporary from a run that was killed goes first; the new one is our own file,
    // never a link into somewhere else.
    ::unlink(partial.c_str());
    const int fd = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        const std::string why = std::strerror(errno);
        sf_close(input);
        return fail("cannot write \"" + target + "\": " + why);
    }
    guardPartial(partial);
    Sink sink{fd};
    SF_VIRTUAL_IO io{sinkLength, sinkSeek, sinkRead, sinkWrite, sinkTell};
    SNDFILE* output = sf_open_virtual(&io, SFM_WRITE, &out, &sink);
    if (!output) {
        const std::string why = sf_strerror(nullptr);
        ::close(fd);
        ::unlink(partial.c_str());
        sf_close(input);
        return fail("cannot write \"" + target + "\": " + why);
    }
    // A good quality for speech and ambient sound at a moderate size.
    double quality = 0.4;
    sf_command(output, SFC_SET_COMPRESSION_LEVEL, &quality, sizeof quality);
    int mode = SF_BITRATE_MODE_VARIABLE;
    sf_command(output, SFC_SET_BITRATE_MODE, &mode, sizeof mode);

    constexpr sf_count_t kBlock = 16384;
    std::vector<float> buffer(std::size_t(kBlock) * std::size_t(in.channels));
    sf_count_t done = 0;
    int shown = -1;
    bool ok = true;
    for (;;) {
        const sf_count_t n = sf_readf_float(input, buffer.data(), kBlock);
        if (n <= 0)
            break;
        if (sf_writef_float(output, buffer.data(), n) != n || sink.error) {
            ok = false;
            break;
        }
        done += n;
        // The last percent waits for the file to be complete and in place.
        const int percent = in.frames > 0 ? std::min(99, int(done * 100 / in.frames)) : 99;
        if (percent != shown) {
            shown = percent;
            std::printf("%d%%\n", percent);
            std::fflush(stdout);
        }
    }
    std::string writeError = ok ? "" : sf_strerror(output);
    const int readError = sf_error(input);
    sf_close(input);
    if (sf_close(output) != 0 && ok)
        ok = false;
    // The file reaches the disk before it takes the target's name.
    if (!sink.error && ::fsync(fd) != 0 && errno != EINVAL)
        sink.error = errno;
    ::close(fd);
    if (sink.error) {
        ok = false;
        writeError = std::strerror(sink.error);
    }
    if (!ok || readError != SF_ERR_NO_ERROR) {
        ::unlink(partial.c_str());
        return fail(readError != SF_ERR_NO_ERROR ? "cannot read \"" + source + "\"" : "cannot write \"" + target + "\": " + writeError);
    }
    if (std::rename(partial.c_str(), target.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        ::unlink(partial.c_str());
        return fail("cannot write \"" + target + "\": " + why);
    }
    g_partialSet = 0;
    std::printf("100%%\n");
    std::fflush(stdout);
    return 0;
}
