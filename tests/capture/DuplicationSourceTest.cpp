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

TEST_F(DuplicationSourceTest, CopiesOnlyWhatChangedInWhatTheViewReadsOutsideItsOwnWindows) {
    auto source = Open();
    EXPECT_EQ(copy->area(), (PixelRect{1920, 0, 3200, 1024}));
    EXPECT_EQ(copy->copies(), 1);
    const PixelRect whole{0, 0, 1280, 1024};
    // What a view in the middle reads, with the pixel around it that the filtering touches.
    const PixelRect read{319, 211, 961, 813};

    struct Step {
        const char* what;
        std::function<void()> act;
        uint32_t textureWidth, textureHeight;
        long long copiedPixels;
        bool whole;
        std::vector<PixelRect> parts;
    } steps[] = {
        {"still screen", [] {}, 1280, 1024, 0, false, {}},
        {"a change",
         [&] {
             copy->Change({2000, 10, 2010, 20});
         },
         1280,
         1024,
         100,
         false,
         {{80, 10, 90, 20}}},
        {"no texture of that size yet", [&] { copy->Change(); }, 0, 0, 1280 * 1024, true, {whole}},
        {"the view reads the middle: copied once",
         [&] {
             source->SetSourceRect({320, 212, 960, 812});
         },
         1280,
         1024,
         642 * 602,
         false,
         {read}},
        {"a change outside what the view reads",
         [&] {
             copy->Change({2000, 10, 2010, 20});
         },
         1280,
         1024,
         0,
         false,
         {}},
        {"a change half inside it",
         [&] {
             copy->Change({2200, 200, 2300, 250});
         },
         1280,
         1024,
         61 * 39,
         false,
         {{319, 211, 380, 250}}},
        // The view over the middle of the display: a new list copies again, around the view.
        {"own window appears",
         [&] {
             source->SetIgnoredAreas({{2240, 300, 2880, 724}});
         },
         1280,
         1024,
         642 * 602,
         false,
         {{319, 211, 961, 300}, {319, 300, 320, 724}, {960, 300, 961, 724}, {319, 724, 961, 813}}},
        {"a change only inside it",
         [&] {
             copy->Change({2300, 400, 2400, 500});
         },
         1280,
         1024,
         0,
         false,
         {}},
        // The texture repeats: a source across the right edge reads the left edge too.
        {"a source across the right edge",
         [&] {
             source->SetSourceRect({1200, 500, 1300, 600});
         },
         1280,
         1024,
         (81 + 21) * 102,
         false,
         {{1199, 499, 1280, 601}, {0, 499, 21, 601}}},
    };
    for (const Step& s : steps) {
        const long long before = copy->copiedPixels();
        s.act();
        const DuplicationSource::Update u = source->NextUpdate(s.textureWidth, s.textureHeight);
        EXPECT_FALSE(u.skip) << s.what;
        EXPECT_EQ(copy->copiedPixels() - before, s.copiedPixels) << s.what;
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
