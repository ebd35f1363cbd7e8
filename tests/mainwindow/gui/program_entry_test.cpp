// Start-up of the real program: a missing product-settings file or icon ends it with exit
// code 1 and the file error, before any window is shown.
#include <filesystem>
#include <string>

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using tess::test::TempDir;

struct RunResult {
    int exitCode = -1;
    std::string errors;
};

// Runs a copy of the program from `folder` with error reports on stderr.
RunResult runFrom(const TempDir& folder, const TempDir& home) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("TESS_ERRORS_TO_STDERR", "1");
    env.insert("HOME", QString::fromStdString(home.path().string()));
    env.insert("XDG_CONFIG_HOME", QString::fromStdString((home.path() / ".config").string()));
    process.setProcessEnvironment(env);
    process.start(QString::fromStdString(folder.str("tessarine")), {});
    RunResult run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.errors = process.readAllStandardError().toStdString();
    return run;
}

class ProgramEntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path bin = TESS_BIN_DIR;
        for (const char* name : {"tessarine", "vantrel.dll", "icon.ico"})
            ASSERT_TRUE(fs::exists(bin / name)) << name;
        fs::copy_file(bin / "tessarine", m_folder.file("tessarine"));
    }
    void copyBeside(const char* name) {
        fs::copy_file(fs::path(TESS_BIN_DIR) / name, m_folder.file(name));
    }

    TempDir m_folder;
    TempDir m_home;
};

TEST_F(ProgramEntryTest, MissingProductSettingsEndsWithExitCodeOne) {
    copyBeside("icon.ico");
    const RunResult run = runFrom(m_folder, m_home);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("Cannot open file \"" + m_folder.str("vantrel.dll") + "\". "),
              std::string::npos)
        << run.errors;
    // No window was created, so no settings were written.
    EXPECT_FALSE(fs::exists(m_home.path() / ".config" / "Tessarine" / "Tessarine.ini"));
}

TEST_F(ProgramEntryTest, MissingIconEndsWithExitCodeOne) {
    copyBeside("vantrel.dll");
    const RunResult run = runFrom(m_folder, m_home);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("Cannot open file \"" + m_folder.str("icon.ico") + "\". "),
              std::string::npos)
        << run.errors;
}

TEST_F(ProgramEntryTest, UnreadableIconEndsWithExitCodeOne) {
    copyBeside("vantrel.dll");
    tess::test::writeFile(m_folder.file("icon.ico"), "not an icon");
    const RunResult run = runFrom(m_folder, m_home);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find(m_folder.str("icon.ico")), std::string::npos) << run.errors;
}

}  // namespace
