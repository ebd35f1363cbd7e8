#include "platform/known_folders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/error.h"
#include "platform/file_queries.h"
#include "support/temp_dir.h"

namespace tess {
namespace {

using test::TempDir;

// Sets (or unsets, for nullopt) an environment variable for one test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value) ::setenv(name, value->c_str(), 1);
        else ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (m_old) ::setenv(m_name, m_old->c_str(), 1);
        else ::unsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

std::string errorOf(std::string (*folder)()) {
    try {
        folder();
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

class SpecialFolders : public ::testing::Test {
protected:
    TempDir m_home;
    ScopedEnv m_homeVar{"HOME", m_home.path().string()};
    ScopedEnv m_config{"XDG_CONFIG_HOME", std::nullopt};
    ScopedEnv m_prefix{"WINEPREFIX", std::nullopt};
};

TEST_F(SpecialFolders, AppDataFollowsXdgConfigHome) {
    EXPECT_EQ(AppDataFolder(), m_home.str(".config"));
    {
        ScopedEnv config("XDG_CONFIG_HOME", m_home.str("cfg") + "/");
        EXPECT_EQ(AppDataFolder(), m_home.str("cfg"));
    }
    {
        // A relative value is ignored.
        ScopedEnv config("XDG_CONFIG_HOME", "relative/cfg");
        EXPECT_EQ(AppDataFolder(), m_home.str(".config"));
    }
    ScopedEnv noHome("HOME", std::nullopt);
    EXPECT_EQ(errorOf(AppDataFolder), "Could not find Local App Data folder location.");
}

TEST_F(SpecialFolders, DocumentsAndDesktopDefaultBelowHomeAndMustExist) {
    EXPECT_EQ(errorOf(DocumentsFolder), "Could not find Documents folder location.");
    EXPECT_EQ(errorOf(DesktopFolder), "Could not find Desktop folder location.");
    ASSERT_TRUE(createFolders(m_home.str("Documents")));
    ASSERT_TRUE(createFolders(m_home.str("Desktop")));
    EXPECT_EQ(DocumentsFolder(), m_home.str("Documents") + "/");
    EXPECT_EQ(DesktopFolder(), m_home.str("Desktop") + "/");
}

TEST_F(SpecialFolders, UserDirsFileNamesTheFolders) {
    ASSERT_TRUE(createFolders(m_home.str(".config")));
    ASSERT_TRUE(createFolders(m_home.str("Dokumente")));
    ASSERT_TRUE(createFolders(m_home.str("My \"Desk\"")));
    test::writeFile(m_home.file(".config/user-dirs.dirs"),
                    "# written by xdg-user-dirs-update\n"
                    "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
                    "  XDG_DESKTOP_DIR=\"" + m_home.str("My \\\"Desk\\\"") + "\"\n");
    EXPECT_EQ(DocumentsFolder(), m_home.str("Dokumente") + "/");
    EXPECT_EQ(DesktopFolder(), m_home.str("My \"Desk\"") + "/");
}

TEST_F(SpecialFolders, MalformedUserDirsLinesFallBackToDefaults) {
    ASSERT_TRUE(createFolders(m_home.str(".config")));
    ASSERT_TRUE(createFolders(m_home.str("Documents")));
    ASSERT_TRUE(createFolders(m_home.str("Desktop")));
    test::writeFile(m_home.file(".config/user-dirs.dirs"),
                    "XDG_DOCUMENTS_DIR=\"relative/path\"\n"
                    "XDG_DESKTOP_DIR=\"$HOME/unterminated\n");
    EXPECT_EQ(DocumentsFolder(), m_home.str("Documents") + "/");
    EXPECT_EQ(DesktopFolder(), m_home.str("Desktop") + "/");
}

TEST_F(SpecialFolders, System32PrefersTheWinePrefix) {
    ASSERT_TRUE(createFolders(m_home.str("pfx/drive_c/windows/system32")));
    ASSERT_TRUE(createFolders(m_home.str(".wine/drive_c/windows/system32")));
    EXPECT_EQ(System32Folder(), m_home.str(".wine/drive_c/windows/system32"));
    EXPECT_EQ(WindowsFolder(), m_home.str(".wine/drive_c/windows"));
    ScopedEnv prefix("WINEPREFIX", m_home.str("pfx") + "/");
    EXPECT_EQ(System32Folder(), m_home.str("pfx/drive_c/windows/system32"));
    EXPECT_EQ(WindowsFolder(), m_home.str("pfx/drive_c/windows"));
}

TEST_F(SpecialFolders, System32WithoutPrefixIsWineModulesOrHome) {
    const std::string found = System32Folder();
    if (folderExists("/usr/lib/x86_64-linux-gnu/wine/x86_64-windows")) {
        EXPECT_EQ(found, "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows");
    } else if (!folderExists("/usr/lib/x86_64-linux-gnu/wine/i386-windows")) {
        EXPECT_EQ(found, m_home.path().string());
    }
}

TEST_F(SpecialFolders, DefaultDestinationRootIsBelowHome) {
    EXPECT_EQ(DefaultDestinationRoot(), m_home.path().string() + "/Images/Extracted Images/");
    ScopedEnv noHome("HOME", "");
    EXPECT_THROW(DefaultDestinationRoot(), Error);
}

TEST(CurrentDrive, FirstCharacterOfCurrentFolder) {
    EXPECT_EQ(CurrentDriveLetter(), std::filesystem::current_path().string().front());
}

TEST(ExecutableFolder, IsTheFolderOfThisTest) {
    const std::string folder = ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(folderExists(folder));
    EXPECT_NE(folder.back(), '/');
}

}  // namespace
}  // namespace tess
