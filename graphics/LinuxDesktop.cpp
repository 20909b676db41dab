#include "LinuxDesktop.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

extern char** environ;

namespace kettrix::desktop {

namespace {

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string Home() {
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/";
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Runs argv[0] (a full path) with stdin from /dev/null, collects its
// standard output and waits for it. Returns the exit status, −1 when it
// could not run.
int Run(const std::vector<std::string>& args, std::string& output) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
    std::vector<std::string> store(args);
    std::vector<char*> argv;
    for (auto& a : store) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        return -1;
    }
    char buffer[512];
    for (;;) {
        const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n > 0)
            output.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    close(pipeFds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// "k4s png" → {"k4s", "png"}
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

}  // namespace

std::string FindProgram(const char* name) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "/usr/bin:/bin");
    for (std::string folder; std::getline(folders, folder, ':');) {
        if (folder.empty()) continue;
        const std::string candidate = WithSlash(folder) + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

DialogResult ChooseFile(bool save, const std::string& folder, const std::string& extensions, std::string& path) {
    const std::vector<std::string> exts = Words(extensions);
    std::string patterns, upperList;
    for (const auto& e : exts) {
        patterns += (patterns.empty() ? "*." : " *.") + e;
        std::string upper = e;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        upperList += (upperList.empty() ? "" : ", ") + upper;
    }
    const std::string start = WithSlash(folder.empty() ? Home() : folder);
    std::vector<std::string> args;
    if (std::string zenity = FindProgram("zenity"); !zenity.empty()) {
        args = {zenity, "--file-selection", "--filename=" + start};
        if (save) {
            args.push_back("--save");
            args.push_back("--confirm-overwrite");
        }
        if (!patterns.empty()) args.push_back("--file-filter=" + upperList + " files (" + patterns + ") | " + patterns);
    } else if (std::string kdialog = FindProgram("kdialog"); !kdialog.empty()) {
        args = {kdialog, save ? "--getsavefilename" : "--getopenfilename", start};
        if (!patterns.empty()) args.push_back(patterns + "|" + upperList + " files (" + patterns + ")");
    } else {
        return DialogResult::Unavailable;
    }
    std::string output;
    const int status = Run(args, output);
    if (status < 0) return DialogResult::Unavailable;
    const std::string chosen = FirstLine(output);
    if (status != 0 || chosen.empty()) return DialogResult::Cancelled;
    path = chosen;
    return DialogResult::Chosen;
}

DialogResult ChooseColor(int& r, int& g, int& b) {
    const std::string zenity = FindProgram("zenity");
    if (zenity.empty()) return DialogResult::Unavailable;
    std::string output;
    const int status = Run({zenity, "--color-selection"}, output);
    if (status < 0) return DialogResult::Unavailable;
    int rr = 0, gg = 0, bb = 0;
    // zenity answers "rgb(r,g,b)" or "rgba(r,g,b,a)".
    if (status != 0 || (std::sscanf(output.c_str(), "rgb(%d,%d,%d", &rr, &gg, &bb) != 3 &&
                        std::sscanf(output.c_str(), "rgba(%d,%d,%d", &rr, &gg, &bb) != 3))
        return DialogResult::Cancelled;
    r = rr;
    g = gg;
    b = bb;
    return DialogResult::Chosen;
}

bool OpenWithSystem(const std::string& target) {
    const std::string opener = FindProgram("xdg-open");
    if (opener.empty() || target.empty()) return false;
    // A shell that starts xdg-open in the background and exits at once, so
    // nothing waits for the browser and no child is left unreaped.
    std::string ignored;
    return Run({"/bin/sh", "-c", "\"$0\" \"$1\" >/dev/null 2>&1 </dev/null &", opener, target}, ignored) == 0;
}

std::string ConfigFolder() {
    if (const char* dir = std::getenv("XDG_CONFIG_HOME"); dir && *dir) return WithSlash(dir);
    return WithSlash(Home() + "/.config");
}

std::string DocumentsFolder() {
    if (const char* dir = std::getenv("XDG_DOCUMENTS_DIR"); dir && *dir) return WithSlash(dir);
    const std::string dirsFile = ConfigFolder() + "user-dirs.dirs";
    std::ifstream in(dirsFile);
    for (std::string line; std::getline(in, line);) {
        const std::string key = "XDG_DOCUMENTS_DIR=\"";
        if (line.rfind(key, 0) != 0) continue;
        std::string value = line.substr(key.size());
        value = value.substr(0, value.find('"'));
        if (value.rfind("$HOME", 0) == 0) value = Home() + value.substr(5);
        if (!value.empty()) return WithSlash(value);
    }
    const std::string documents = Home() + "/Documents";
    return WithSlash(IsFolder(documents) ? documents : Home());
}

std::string DataFolder() {
    if (const char* dir = std::getenv("XDG_DATA_HOME"); dir && *dir) return WithSlash(dir);
    return WithSlash(Home() + "/.local/share");
}

}  // namespace kettrix::desktop
