// The resources of the shipped Vorthal.exe, read from the program file as Windows reads them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"

namespace {

class ProgramResources : public testing::Test {
protected:
    void SetUp() override
    {
        program = LoadLibraryExA(VORTHAL_TEST_PRODUCT, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(program, nullptr) << VORTHAL_TEST_PRODUCT;
    }
    void TearDown() override
    {
        if (program) {
            (void)FreeLibrary(program);
        }
    }

    std::string resourceText(LPCSTR type, LPCSTR name) const
    {
        HRSRC found = FindResourceA(program, name, type);
        if (!found) {
            return {};
        }
        const auto* bytes = static_cast<const char*>(LockResource(LoadResource(program, found)));
        return std::string(bytes, SizeofResource(program, found));
    }

    HMODULE program = nullptr;
};

} // namespace

TEST_F(ProgramResources, HoldTheTemplatesAndTheIconGroup)
{
    EXPECT_NE(FindResourceA(program, MAKEINTRESOURCEA(IDD_LAUNCHER), MAKEINTRESOURCEA(5)), nullptr);
    EXPECT_NE(FindResourceA(program, MAKEINTRESOURCEA(IDI_VORTHAL), MAKEINTRESOURCEA(14)), nullptr);
    EXPECT_NE(LoadImageA(program, MAKEINTRESOURCEA(IDI_VORTHAL), IMAGE_ICON, 32, 32, 0), nullptr);
}

TEST_F(ProgramResources, ManifestDeclaresWindows7To11AndAsksForNoElevationLevel)
{
    const std::string manifest = resourceText(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));
    ASSERT_FALSE(manifest.empty());
    const char* const windows[] = {
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", // 7
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", // 8
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", // 8.1
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", // 10 and 11
    };
    for (const char* id : windows) {
        EXPECT_NE(manifest.find(id), std::string::npos) << id;
    }
    // Without it the launcher runs virtualised like the game and sees the same config.cfg.
    EXPECT_EQ(manifest.find("requestedExecutionLevel"), std::string::npos);
}

TEST_F(ProgramResources, VersionNamesTheLauncher)
{
    const DWORD size = GetFileVersionInfoSizeA(VORTHAL_TEST_PRODUCT, nullptr);
    ASSERT_NE(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(VORTHAL_TEST_PRODUCT, 0, size, block.data()));

    const struct {
        const char* key;
        std::string value;
    } strings[] = {
        {"FileDescription", "Vorthal Launcher"},
        {"ProductName", "Vorthal Launcher"},
        {"OriginalFilename", "Vorthal.exe"},
        {"ProductVersion", VORTHAL_TEST_VERSION},
    };
    for (const auto& s : strings) {
        char* value = nullptr;
        UINT length = 0;
        const std::string query = std::string("\\StringFileInfo\\040904B0\\") + s.key;
        ASSERT_TRUE(VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << s.key;
        EXPECT_EQ(std::string(value), s.value) << s.key;
    }
}
