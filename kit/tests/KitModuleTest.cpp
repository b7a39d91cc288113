// QuilloKit.so as the editor loads it: its one export, reading a file,
// handing out the layer to edit, and deletion through the virtual destructor.
#include "KitTestSupport.h"

#include "kit/ComplexImageUtils.h"
#include "kit/KitFile.h"
#include "platform/win/Library.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

namespace {

std::string DefinedExports(const std::string& path)
{
    std::string out;
    if (std::FILE* pipe = ::popen(("nm -D --defined-only '" + path + "' 2>/dev/null").c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        ::pclose(pipe);
    }
    return out;
}

TEST(KitModule, ExportsOnlyTheFactory)
{
    std::istringstream lines(DefinedExports(QUILLO_KIT_MODULE));
    std::vector<std::string> names;
    for (std::string line; std::getline(lines, line);) {
        const std::size_t blank = line.rfind(' ');
        names.push_back(line.substr(blank + 1));
    }
    EXPECT_EQ(names, std::vector<std::string>{"CreateQuilloKitInstance"});
}

TEST(KitModule, ReadsAFileAndHandsOutTheActiveLayer)
{
    kit::LayeredDocument doc;
    doc.canvasWidth = 6;
    doc.canvasHeight = 4;
    doc.layers.push_back(kittest::SolidLayer(6, 4, {10, 20, 30, 255}));
    doc.layers.push_back(kittest::SolidLayer(3, 2, {200, 100, 50, 255}, 1, 1, 255, 5));
    doc.layers.push_back(kittest::SolidLayer(2, 1, {7, 7, 7, 255}, 4, 3));
    doc.activeLayer = 1;
    const kittest::Bytes bytes = kittest::WriteFile(doc);
    const std::string path = testing::TempDir() + "kit_module.qlk";
    {
        kit::DiskFile out;
        ASSERT_TRUE(out.OpenWrite(path.c_str()));
        ASSERT_EQ(out.Write(bytes.data(), bytes.size()), bytes.size());
        ASSERT_TRUE(out.Close());
    }

    HMODULE module = LoadLibrary(QUILLO_KIT_MODULE);
    ASSERT_NE(module, nullptr);
    auto create = reinterpret_cast<CreateQuilloKitInstanceFn>(GetProcAddress(module, "CreateQuilloKitInstance"));
    ASSERT_NE(create, nullptr);
    CComplexImageUtils* object = create();
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->GetImageForEdit().bits, nullptr) << "nothing read yet";
    EXPECT_EQ(object->FromFile((path + ".missing").c_str()), 0);
    ASSERT_EQ(object->FromFile(path.c_str()), 1);
    const INTERNAL_IMAGE layer = object->GetImageForEdit();
    EXPECT_EQ(layer.width, 3);
    EXPECT_EQ(layer.height, 2);
    EXPECT_EQ(layer.bits[0], 200);

    std::vector<unsigned char> edit(layer.bits, layer.bits + 3 * 2 * 4);
    const INTERNAL_IMAGE merged = object->MaybeChanged({3, 2, edit.data()});
    ASSERT_TRUE(IsSoundImage(merged));
    EXPECT_EQ(merged.width, 6);
    EXPECT_EQ(merged.height, 4);
    EXPECT_EQ(merged.bits[(1 * 6 + 1) * 4 + 2], 6) << "(30 x 50 + 127) / 255";
    EXPECT_EQ(merged.bits[0], 10);
    EXPECT_EQ(merged.bits[(3 * 6 + 5) * 4], 7);
    delete object;
    FreeLibrary(module);
}

}  // namespace
