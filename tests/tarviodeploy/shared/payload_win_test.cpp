// The program's own payload: the IDR_PACK resource of the built installer, read the way the
// program reads it, holds every file the components take from it.

#include "tarviodeploy/shared/deploymentenvironment.h"

#include "tarviolib/core/string.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <string>
#include <vector>

namespace Tarvio {
namespace {

std::vector<std::string> expectedFiles() {
    std::vector<std::string> files = {
        "Uninstaller_Release.exe", "3rd-party-licenses.txt", "unpack-readme.txt", "license.txt",
        "scripts/tarvioConverter.ms", "scripts/tarvioProxyExporter.ms", "scripts/tarvioScatterLister.ms",
        "scripts/TarvioRenderer_InitScripts.ms", "toolbar/TarvioOfficialToolbar_16a.bmp",
        "toolbar/TarvioOfficialToolbar_16i.bmp", "toolbar/TarvioOfficialToolbar_24a.bmp",
        "toolbar/TarvioOfficialToolbar_24i.bmp", "dependencies/wxmsw310u_vc_tarvio_v141.dll",
        "dependencies/TarvioOpenExr2-v141-x64-Release.dll", "dependencies/Tarviotbb-v141-x64-Release.dll",
        "Tarvio_Release.dll", "TarvioLib_Release.dll", "DrServer_Release.exe", "LicensingServer_Release.exe",
        "TarvioStandalone_Release.exe", "TarvioImageEditor.Cli_x64_Release.exe",
        "TarvioImageEditor.Gui_x64_Release.exe", "dependencies/vc_redist.2017.x64.exe"};
    for (int year = 2013; year <= 2019; ++year) {
        const std::string y = std::to_string(year);
        files.push_back("TarvioMax_Release-" + y + ".dll");
        files.push_back("TarvioMaxUtils_Release-" + y + ".dll");
        files.push_back("maxHairFur/" + y + "/Tarvio_maxHairFur.dll");
    }
    return files;
}

class PayloadTest : public testing::Test {
protected:
    void SetUp() override {
        mModule = LoadLibraryExW(TARVIO_INSTALLER_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(mModule, nullptr);
        HRSRC resource = FindResourceW(mModule, L"IDR_PACK", L"FILE");
        ASSERT_NE(resource, nullptr);
        const void* data = LockResource(LoadResource(mModule, resource));
        ASSERT_NE(data, nullptr);
        mEnvironment = makeUnique<DeploymentEnvironment>(data, static_cast<int32_t>(SizeofResource(mModule, resource)));
    }
    void TearDown() override {
        mEnvironment.reset();
        if (mModule != nullptr) {
            FreeLibrary(mModule);
        }
    }

    std::string read(const char* name) {
        const Array<uint8_t> bytes = mEnvironment->readFile(name).value();
        return std::string(bytes.begin(), bytes.end());
    }

    HMODULE mModule = nullptr;
    UniquePtr<DeploymentEnvironment> mEnvironment;
};

TEST_F(PayloadTest, HoldsEveryFileTheComponentsInstall) {
    for (const std::string& name : expectedFiles()) {
        EXPECT_FALSE(read(name.c_str()).empty()) << name;
    }
    EXPECT_EQ(read("dependencies/vc_redist.2017.x64.exe").substr(0, 2), "MZ");
    for (const char* bundle : {"LUT", "IES"}) {
        const Array<String> files = mEnvironment->listFiles(bundle, true, {});
        EXPECT_GE(files.size(), 3) << bundle;
        EXPECT_LT(mEnvironment->listFiles(bundle, false, {}).size(), files.size()) << "no sub-folders in " << bundle;
    }
    EXPECT_TRUE(mEnvironment->listFiles("materials", true, {}).isEmpty());
}

TEST_F(PayloadTest, ThePicturesArePngFilesOfTheWindowsSizes) {
    struct Picture {
        const char* name;
        uint32_t width;
        uint32_t height;
    } pictures[] = {{"gui/bg0.png", 600, 400}, {"gui/bg1.png", 600, 400}, {"gui/bg2.png", 600, 400},
                    {"gui/bg3.png", 600, 400}, {"gui/bg4.png", 600, 400}, {"gui/window-mask.png", 600, 400},
                    {"gui/Logo.png", 60, 60}};
    for (const Picture& picture : pictures) {
        const std::string png = read(picture.name);
        ASSERT_GT(png.size(), 24u) << picture.name;
        EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n") << picture.name;
        const auto bigEndian = [&png](std::size_t at) {
            return uint32_t{uint8_t(png[at])} << 24 | uint32_t{uint8_t(png[at + 1])} << 16 |
                   uint32_t{uint8_t(png[at + 2])} << 8 | uint8_t(png[at + 3]);
        };
        EXPECT_EQ(bigEndian(16), picture.width) << picture.name;
        EXPECT_EQ(bigEndian(20), picture.height) << picture.name;
    }
}

// The interface's pictures decode from the payload: five backgrounds that differ from one another,
// a mask that cuts the window's corners, and a logo with transparency.
TEST_F(PayloadTest, ThePicturesDecodeAndTheBackgroundsDiffer) {
    std::vector<std::vector<uint8_t>> backgrounds;
    for (int page = 0; page < 5; ++page) {
        const std::string name = "gui/bg" + std::to_string(page) + ".png";
        const Result<Image> image = mEnvironment->loadImage(name.c_str());
        ASSERT_TRUE(image.ok()) << name << ": " << image.error();
        EXPECT_EQ(image.value().format(), PixelFormat::Rgb8) << name;
        const ByteBuffer& pixels = image.value().pixels();
        for (const std::vector<uint8_t>& other : backgrounds) {
            EXPECT_FALSE(std::equal(other.begin(), other.end(), pixels.data())) << name << " repeats a background";
        }
        backgrounds.emplace_back(pixels.data(), pixels.data() + pixels.size());
    }

    const Result<Image> mask = mEnvironment->loadImage("gui/window-mask.png");
    ASSERT_TRUE(mask.ok()) << mask.error();
    ASSERT_EQ(mask.value().format(), PixelFormat::Gray8);
    const Image& shape = mask.value();
    for (const auto& corner : {std::pair{0, 0}, std::pair{599, 0}, std::pair{0, 399}, std::pair{599, 399}}) {
        EXPECT_EQ(*shape.pixelAt(corner.first, corner.second), 0) << corner.first << ", " << corner.second;
    }
    EXPECT_EQ(*shape.pixelAt(300, 200), 255);
    EXPECT_EQ(*shape.pixelAt(300, 0), 255);

    const Result<Image> logo = mEnvironment->loadImage("gui/Logo.png");
    ASSERT_TRUE(logo.ok()) << logo.error();
    EXPECT_EQ(logo.value().format(), PixelFormat::Rgba8);
    EXPECT_EQ(logo.value().pixelAt(0, 0)[3], 0);
    EXPECT_EQ(logo.value().pixelAt(30, 30)[3], 255);
}

TEST_F(PayloadTest, TheMaterialLibraryComesFromItsOwnPack) {
    mEnvironment->addPackFile(TARVIO_MATERIAL_LIBRARY);
    EXPECT_EQ(mEnvironment->listFiles("materials", true, {}).size(), 3);
    EXPECT_FALSE(read("materials/Metals/Steel.mat").empty());
}

} // namespace
} // namespace Tarvio
