// Writes every sample file into a program folder: sonaveil-synth <folder> [number ...]
// (number 0 is the alarm sound). Reports what it made and how long it took.

#include "synth/digest.h"
#include "synth/synth.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <cstring>
#include <map>
#include <thread>

namespace {

void usage(std::FILE* to, const char* program)
{
    std::fprintf(to,
                 "usage: %s <program folder> [sound number ...]\n"
                 "Renders the sample files (bin/1.isz ... bin/35.wav; number 0 is the alarm sound\n"
                 "config/alarms/default.wav) into the program folder; all of them when no number is given.\n",
                 program);
}

} // namespace

int main(int argc, char** argv)
{
    using namespace sonaveil::synth;
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        usage(stdout, argv[0]);
        return 0;
    }
    // An option we do not know is a mistake, never the name of a folder to fill.
    if (argc < 2 || argv[1][0] == '-') {
        if (argc >= 2)
            std::fprintf(stderr, "%s: unknown option \"%s\"\n", argv[0], argv[1]);
        usage(stderr, argv[0]);
        return 2;
    }
    std::vector<const SoundRecipe*> chosen;
    for (int i = 2; i < argc; ++i) {
        char* end = nullptr;
        const long n = std::strtol(argv[i], &end, 10);
        const SoundRecipe* r = (end && *end == '\0') ? findRecipe(int(n)) : nullptr;
        if (!r) {
            std::fprintf(stderr, "no sound numbered %s\n", argv[i]);
            return 2;
        }
        chosen.push_back(r);
    }
    if (chosen.empty())
        for (const auto& r : catalogue())
            chosen.push_back(&r);
    // The longest loops first, so that two threads finish together.
    std::stable_sort(chosen.begin(), chosen.end(), [](const SoundRecipe* a, const SoundRecipe* b) {
        return a->seconds * a->rate > b->seconds * b->rate;
    });
    const int threads = int(std::clamp(std::thread::hardware_concurrency(), 1u, 2u));
    const auto start = std::chrono::steady_clock::now();
    std::vector<Limiting> limited;
    const auto errors = renderAll(chosen, argv[1], threads, &limited);
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (const auto& e : errors)
        std::fprintf(stderr, "%s\n", e.c_str());
    // The sounds whose peaks had to be turned down to keep them under the ceiling at the common
    // loudness, and by how much.
    for (std::size_t i = 0; i < chosen.size(); ++i)
        if (limited[i].deepestDb > 0.0)
            std::printf("%s: loudest peak limited by %.1f dB, %.3f%% of the loop by more than 1 dB\n",
                        chosen[i]->path.c_str(), limited[i].deepestDb, 100.0 * limited[i].shareOverOneDb);
    std::printf("%zu sound files in %.1f s on %d threads\n", chosen.size() - errors.size(), took, threads);
    // The digests of every catalogue file now in the folder, so that the player can tell ours from
    // one the user has put in its place.
    std::map<std::string, std::uint64_t> digests;
    const std::string folder = argv[1];
    for (const auto& r : catalogue())
        if (const auto d = fileDigest(folder + "/" + r.path))
            digests[r.path] = *d;
    const std::string digestError = writeDigests(folder + "/" + kDigestFile, digests);
    if (!digestError.empty())
        std::fprintf(stderr, "%s\n", digestError.c_str());
    return errors.empty() && digestError.empty() ? 0 : 1;
}
