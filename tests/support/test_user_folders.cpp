// Linked into every test executable: before main runs, the process's XDG settings, data and
// cache folders move to a temporary folder of its own, removed when the process ends, so that
// nothing a test does in process (settings, recent files, recovery copies, the GL shader caches
// of Qt and Mesa) reaches the user's folders. Programs the tests start get homes of their own
// (child_program.h).
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

namespace {

class TestUserFolders {
public:
    TestUserFolders()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tintweave-test-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort(); // no test may run against the user's own folders
        root = pattern;
        owner = getpid();
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
            const std::string folder = root + "/" + name;
            std::filesystem::create_directory(folder);
            setenv(name, folder.c_str(), 1);
        }
    }
    ~TestUserFolders()
    {
        if (getpid() != owner) // a forked child that ends by exit() leaves them to its parent
            return;
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    TestUserFolders(const TestUserFolders&) = delete;
    TestUserFolders& operator=(const TestUserFolders&) = delete;

private:
    std::string root;
    pid_t owner = 0;
};

const TestUserFolders folders;

} // namespace
