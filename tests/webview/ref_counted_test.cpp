#include "webview/ref_counted.h"

#include <gtest/gtest.h>

namespace {

// Notes its own end, so that a test can see when the last reference went.
class Shared : public RefCounted {
public:
    explicit Shared(bool& destroyed) : destroyed_(destroyed) {}

private:
    ~Shared() override { destroyed_ = true; }
    bool& destroyed_;
};

} // namespace

TEST(RefCounted, EndsWithItsLastReference)
{
    const struct {
        int addRefs;
        int releases;
        bool destroyed;
    } cases[] = {{0, 1, true}, {1, 1, false}, {1, 2, true}, {3, 2, false}, {3, 4, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.addRefs << " AddRef, " << c.releases << " Release");
        bool destroyed = false;
        auto* shared = new Shared(destroyed);
        for (int i = 0; i < c.addRefs; ++i) {
            EXPECT_EQ(shared->AddRef(), i + 2);
        }
        for (int i = 0; i < c.releases; ++i) {
            EXPECT_EQ(shared->Release(), c.addRefs - i);
        }
        EXPECT_EQ(destroyed, c.destroyed);
        // What is left goes, so that the leak checker sees none.
        for (int i = c.releases; i <= c.addRefs; ++i) {
            shared->Release();
        }
    }
}
