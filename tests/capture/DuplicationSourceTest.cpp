// The frame source over synthetic screen copies (the null back end): what it copies when, what it
// leaves under the program's own windows, and how it reports a failing or lost copy.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "capture/DuplicationSource.h"
#include "capture/HRError.h"
#include "platform/Backend.h"
#include "platform/null/NullBackend.h"
#include "render/RenderEngine.h"
#include "support/LogFile.h"

namespace {

using platform::PixelRect;

class DuplicationSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto backend = std::make_unique<platform::NullBackend>();
        backend->monitors = {{7, {0, 0, 1920, 1080}, "screen"}, {8, {1920, 0, 3200, 1024}, "HDMI-2"}};
        this->backend = backend.get();
        platform::SetBackend(std::move(backend));
    }
    void TearDown() override { platform::SetBackend(nullptr); }

    // A source of the second display (its first copy taken by the constructor) and its screen copy.
    std::unique_ptr<DuplicationSource> Open() {
        auto source = std::make_unique<DuplicationSource>(engine, 8);
        copy = backend->screenCopies.back();
        return source;
    }

    LogFile log;
    RenderEngine engine;  // no context: the texture side stays empty, the decisions are what is tested
    platform::NullBackend* backend = nullptr;
    platform::NullScreenCopy* copy = nullptr;
};

TEST_F(DuplicationSourceTest, CopiesOnlyWhatChangedOutsideItsOwnWindows) {
    auto source = Open();
    EXPECT_EQ(copy->area(), (PixelRect{1920, 0, 3200, 1024}));
    EXPECT_EQ(copy->copies(), 1);
    const PixelRect whole{0, 0, 1280, 1024};

    struct Step {
        const char* what;
        std::function<void()> act;
        uint32_t textureWidth, textureHeight;
        bool copied, whole;
        std::vector<PixelRect> parts;
    } steps[] = {
        {"still screen", [] {}, 1280, 1024, false, false, {}},
        {"a change",
         [&] {
             copy->Change({2000, 10, 2010, 20});
         },
         1280,
         1024,
         true,
         false,
         {whole}},
        {"no texture of that size yet", [&] { copy->Change(); }, 0, 0, true, true, {whole}},
        // The view over the middle of the display: a new list copies again, around the view.
        {"own window appears",
         [&] {
             source->SetIgnoredAreas({{2240, 300, 2880, 724}});
         },
         1280,
         1024,
         true,
         false,
         {{0, 0, 1280, 300}, {0, 300, 320, 724}, {960, 300, 1280, 724}, {0, 724, 1280, 1024}}},
        {"a change only inside it",
         [&] {
             copy->Change({2300, 400, 2400, 500});
         },
         1280,
         1024,
         false,
         false,
         {}},
        {"a window on the other display",
         [&] {
             source->SetIgnoredAreas({{2240, 300, 2880, 724}, {10, 10, 50, 50}});
         },
         1280,
         1024,
         true,
         false,
         {{0, 0, 1280, 300}, {0, 300, 320, 724}, {960, 300, 1280, 724}, {0, 724, 1280, 1024}}},
    };
    for (const Step& s : steps) {
        const int before = copy->copies();
        s.act();
        const DuplicationSource::Update u = source->NextUpdate(s.textureWidth, s.textureHeight);
        EXPECT_FALSE(u.skip) << s.what;
        EXPECT_EQ(copy->copies() - before, s.copied ? 1 : 0) << s.what;
        EXPECT_EQ(u.whole, s.whole) << s.what;
        EXPECT_EQ(u.parts, s.parts) << s.what;
    }
}

TEST_F(DuplicationSourceTest, AFailingCopyIsLoggedOncePerFailingStretch) {
    auto source = Open();
    const std::string line = "[ERROR] [DXGI][Error] XShmGetImage : 8";
    for (int round = 1; round <= 2; ++round) {
        for (int i = 0; i < 3; ++i) {
            copy->FailNext({"XShmGetImage", 8});
            const DuplicationSource::Update u = source->NextUpdate(1280, 1024);
            EXPECT_FALSE(u.skip);  // the last copy stays on screen
            EXPECT_TRUE(u.parts.empty());
        }
        EXPECT_EQ(log.Find(line).size(), static_cast<size_t>(round));
        // A copy that works ends the stretch; the next failure is news again.
        EXPECT_FALSE(source->NextUpdate(1280, 1024).parts.empty());
    }
}

TEST_F(DuplicationSourceTest, ALostCopyAsksForANewSourceAndSaysSoOnce) {
    auto source = Open();
    copy->LoseAccess();
    EXPECT_TRUE(source->NextUpdate(1280, 1024).skip);
    EXPECT_TRUE(source->NextUpdate(1280, 1024).skip);
    EXPECT_FALSE(source->UpdateFrame());
    EXPECT_EQ(log.Find("[DXGI]Screen configuration changed: the copy of the display stops").size(), 1u);
}

TEST_F(DuplicationSourceTest, ACopyThatCannotStartOrAnUnknownDisplayThrows) {
    backend->openFailure = {"check capture area", 0};
    try {
        DuplicationSource source(engine, 8);
        ADD_FAILURE() << "no exception";
    } catch (const HRError& e) {
        EXPECT_STREQ(e.what(), "Failed to check capture area : 0000");
    }
    backend->openFailure = {};
    EXPECT_THROW(DuplicationSource(engine, 99), std::runtime_error);
}

}  // namespace
