#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace sonaveil {

// The one place that decides where a program reads the files it ships with and where it keeps
// the user's own (presets, state files, schemes, recordings, settings).
//
// A program folder the user can write to (a build's dist/, a copy of it) holds both, as it always
// has. A read-only one, or one that belongs to an installation, is only read from; the
// user's files then live in the data folder, $XDG_DATA_HOME/sonaveil (~/.local/share/sonaveil
// when that is unset), which prepare() creates on the first start and fills with the starter
// presets, equaliser presets, colour schemes and alarm sound once. Nothing of the user's is
// ever replaced: a starter file that was copied (or that the user already had under its name)
// is never copied again, so an edited or deleted starter stays as the user left it after an
// upgrade, while a starter that is new in the upgrade arrives.
class ProgramFolder {
public:
    // What the decision depends on besides the folder itself.
    struct Environment {
        std::string xdgDataHome; // $XDG_DATA_HOME; used only when it is an absolute path
        std::string home;        // $HOME, else the home folder of the account
        static Environment fromProcess();
    };

    // The program folder's subfolders whose files are starters: copied into a separate user
    // folder once, then the user's.
    static const std::vector<std::string>& starterFolders();
    // The folders the programs expect in the user folder, created when missing.
    static const std::vector<std::string>& userFolders();
    // The record, in a separate user folder, of the starter files it has received.
    static constexpr const char* kStarterRecord = ".starter-files";
    static constexpr const char* kDataFolderName = "sonaveil";
    // Written into the program folder by the install rules: a folder holding it belongs to an
    // installation (a package, `make install`) and is never written, whoever runs the programs,
    // root included, so that removing the installation leaves nothing behind.
    static constexpr const char* kInstallationMark = ".sonaveil-installation";

    // The folder of the running executable as the system names it (bytes, whatever their
    // encoding); empty when the system does not say.
    static std::filesystem::path ofRunningProgram();

    // Decides for the program folder `programFolder` (the folder of the running executable).
    // A folder whose name is not valid UTF-8 (which Qt's file names cannot carry) is reached
    // through a name that is: an open handle on the folder, "/proc/self/fd/N", kept for the
    // life of the process and inherited by the programs it starts.
    static ProgramFolder decide(const std::filesystem::path& programFolder,
                                const Environment& environment = Environment::fromProcess());
    // Whether `bytes` is valid UTF-8.
    static bool validUtf8(const std::string& bytes);
    // `folder` itself when its name is valid UTF-8, else the handle name described at decide();
    // `folder` itself when no handle can be had.
    static std::filesystem::path reachable(const std::filesystem::path& folder);
    // `path` as the user knows it: a path under such a handle name with the folder's own name in
    // its place (for messages; the bytes of that name may not be valid UTF-8).
    static std::filesystem::path shownPath(const std::filesystem::path& path);
    // `path` under a name a file dialog can show and that leads to the same place: a path under
    // a handle name gets, in its place, a link named after the folder (its bytes that are not
    // UTF-8 shown as "_") in a folder of this process under $XDG_RUNTIME_DIR (else the temporary
    // folder); the links go when the process ends. Any other path, or when no link can be
    // made, stays as it is.
    static std::filesystem::path readablePath(const std::filesystem::path& path);
    // A path under such a link under the handle name again; any other path as it is.
    static std::filesystem::path fromReadablePath(const std::filesystem::path& path);

    // The user's data folder for `environment`, whether or not it is used.
    static std::filesystem::path dataFolder(const Environment& environment);

    // The folder of the programs and of everything shipped with them: samples, pictures, help,
    // the starter files.
    const std::filesystem::path& program() const { return m_program; }
    // Where the user's files are read and written.
    const std::filesystem::path& user() const { return m_user; }
    // Whether the user's files live apart from the program (a read-only program folder).
    bool separate() const { return m_program != m_user; }

    // What prepare() could not do: the folder it could not create, and the system's reason
    // ("" when a file of that name stands in the way). The programs word the message.
    struct Problem {
        std::filesystem::path folder;
        std::string systemReason;
    };

    // Creates the user folder and the folders the programs expect in it, and in a separate user
    // folder copies in the starter files it has not received yet. False, with `problem` saying
    // why, when the user folder cannot be created; a starter that cannot be copied is skipped
    // and tried again on the next start.
    bool prepare(Problem* problem = nullptr) const;

private:
    ProgramFolder(std::filesystem::path program, std::filesystem::path user);

    std::filesystem::path m_program;
    std::filesystem::path m_user;
};

} // namespace sonaveil
