// Tests of the window tree, reactors and the GUI manager, with pictures, buttons
// and hover groups assembled as a screen assembles them.
#include "gui/guiwindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/guibutton.h"
#include "gui/guihovergroup.h"
#include "gui/guipicture.h"
#include "gui/guirenderer.h"
#include "gui/guiscreen.h"
#include "support/fakeplatform.h"
#include "support/testpanel.h"

namespace {

std::vector<std::string> journal;

// A child that records what reaches it and reports handled as told.
class Probe : public GuiWindow {
public:
    Probe(std::string name, bool handles) : name(std::move(name)), handles(handles) {}
    bool draw() override {
        journal.push_back(name + ".draw");
        return true;
    }
    bool onMouse(int event) override {
        journal.push_back(name + ".mouse" + std::to_string(event));
        return handles;
    }
    bool create() override {
        journal.push_back(name + ".create");
        return true;
    }
    bool update() override {
        journal.push_back(name + ".update");
        return false;
    }
    bool onKey(int key) override {
        journal.push_back(name + ".key" + std::to_string(key));
        return handles;
    }

private:
    std::string name;
    bool handles;
};

int reactorA(GuiWindow*) {
    journal.push_back("reactorA");
    return 0;
}
int reactorB(GuiWindow*) {
    journal.push_back("reactorB");
    return 0;
}

// Screens live for the whole program: the manager keeps pointers to them.
GuiScreen first;
GuiScreen second;
GuiScreen treeScreen;
GuiScreen pictureScreen;
GuiScreen buttonScreen;
GuiScreen hoverScreen;
int window;

}  // namespace

// Runs first: nothing is current yet.
TEST(GuiManager, EventsBeforeTheFirstScreenAreDropped) {
    EXPECT_EQ(currentScreen(), nullptr);
    dispatchMouse(GE_LBUTTONUP);
    dispatchKey('x');
    redrawAll();
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(fakePlatform.presents, 0);
}

TEST(GuiManager, ScreensAreCreatedShownDrawnAndPresentedInOrder) {
    fakePlatform.reset();
    journal.clear();
    first.addChild(new Probe("a", false));
    second.addChild(new Probe("b", false));
    registerScreen(&first);
    registerScreen(&second);
    EXPECT_FALSE(first.isVisible());
    showScreen(&first);  // no renderer yet: drawn, nothing presented
    EXPECT_EQ(fakePlatform.presents, 0);
    initGui(&window);
    EXPECT_EQ(getRenderer()->getBackBuffer().getWidth(), 640);
    setGuiArea(GuiRect(237, 184, 550, 400));
    EXPECT_EQ(journal, (std::vector<std::string>{"a.draw", "a.create", "b.create"}));

    journal.clear();
    updateAll();
    redrawAll();
    EXPECT_EQ(journal, (std::vector<std::string>{"a.update", "a.draw"}));
    EXPECT_EQ(fakePlatform.presents, 1);
    EXPECT_EQ(fakePlatform.presentedArea, GuiRect(237, 184, 550, 400));
    EXPECT_EQ(fakePlatform.presentedHeader.width, 550);
    EXPECT_EQ(fakePlatform.presentedHeader.height, 400);

    journal.clear();
    showScreen(&second);
    showScreen(&second);
    EXPECT_FALSE(first.isVisible());
    EXPECT_TRUE(second.isVisible());
    EXPECT_EQ(currentScreen(), &second);
    EXPECT_EQ(journal, (std::vector<std::string>{"b.draw", "b.draw"}));
    // The probes paint no pixel: the window shows all there is already.
    EXPECT_EQ(fakePlatform.presents, 1);
    repaintAll();
    EXPECT_EQ(fakePlatform.presents, 2);
}

TEST(GuiWindowTree, EveryChildUnderThePointGetsTheEventWithEdgesIncludedAndReactorsInOrder) {
    GuiScreen* screen = &treeScreen;
    registerScreen(screen);
    Probe* left = new Probe("left", true);
    Probe* right = new Probe("right", true);
    Probe* silent = new Probe("silent", true);
    left->setRect(10, 10, 20, 20);
    right->setRect(30, 10, 20, 20);
    silent->setRect(0, 0, 100, 100);
    screen->addChild(left, reactorA);
    screen->addChild(right, reactorB);
    screen->addChild(silent);
    EXPECT_EQ(left->getReactorId(), 0);
    EXPECT_EQ(right->getReactorId(), 1);
    EXPECT_FALSE(silent->hasReactor());
    showScreen(screen);

    journal.clear();
    mouseAt(30, 30, GE_LBUTTONUP);  // the far corner of left and the near edge of right
    EXPECT_EQ(journal,
              (std::vector<std::string>{"left.mouse4", "reactorA", "right.mouse4", "reactorB", "silent.mouse4"}));
    journal.clear();
    mouseAt(51, 10, GE_MOUSEMOVE);
    EXPECT_EQ(journal, (std::vector<std::string>{"silent.mouse2"}));
    journal.clear();
    mouseAt(500, 500, GE_MOUSEMOVE);
    EXPECT_TRUE(journal.empty());
    // Keys reach every child wherever the mouse is; no reactor without one.
    journal.clear();
    dispatchKey(256 + 37);
    EXPECT_EQ(journal, (std::vector<std::string>{"left.key37", "reactorA", "right.key37", "reactorB", "silent.key37"}));
}

TEST(GuiPictureTest, DrawsItsImageAtItsPlaceAndDiesOnceThroughEitherBase) {
    GuiScreen* screen = &pictureScreen;
    registerScreen(screen);
    EXPECT_TRUE(screen->addPicture("no-such-picture.tga"));
    ASSERT_EQ(screen->getChildren().size(), 1u);
    GuiPicture* picture = static_cast<GuiPicture*>(screen->getChildren()[0]);
    EXPECT_EQ(picture->getRect(), GuiRect());
    EXPECT_EQ(picture->getPath(), "no-such-picture.tga");
    showScreen(screen);  // draws the missing picture: nothing
    EXPECT_EQ(picture->getPixels(), nullptr);

    GuiPicture* slide = new GuiPicture;
    ASSERT_TRUE(slide->create(2, 2, GUI_FORMAT_24, false));
    std::fill_n(slide->getData(0, 0), slide->getSizeBytes(), 200);
    slide->setRect(5, 6, 0, 0);
    slide->setOpacity(0.5f);
    screen->addChild(slide);
    GuiImage& buffer = getRenderer()->getBackBuffer();
    buffer.clear();
    redrawAll();
    EXPECT_EQ(buffer.getData(5, buffer.getHeight() - 1 - 6)[0], 100);
    EXPECT_EQ(buffer.getData(4, buffer.getHeight() - 1 - 6)[0], 0);

    GuiImage* asImage = new GuiPicture;
    delete asImage;
    GuiWindow* asWindow = new GuiPicture;
    delete asWindow;
}

namespace {
int fired = 0;
int countFire(GuiWindow*) {
    ++fired;
    return 0;
}
}  // namespace

TEST(GuiButtonTest, FiresOnLeftReleaseOnlyWithTheClickCue) {
    fakePlatform.clickCues = 0;
    GuiScreen* screen = &buttonScreen;
    registerScreen(screen);
    GuiButton* button = new GuiButton;
    button->setRect(100, 100, 50, 20);
    screen->addChild(button, countFire);
    showScreen(screen);
    fired = 0;
    mouseAt(10, 10, GE_LBUTTONDOWN);
    mouseAt(120, 110, GE_LBUTTONUP);  // pressed elsewhere, released here: fires
    EXPECT_EQ(fired, 1);
    mouseAt(120, 110, GE_LBUTTONDOWN);
    mouseAt(200, 110, GE_LBUTTONUP);  // pressed here, released outside: nothing
    for (int event : {GE_MOUSEMOVE, GE_RBUTTONDOWN, GE_RBUTTONUP, GE_MBUTTONDOWN, GE_MBUTTONUP, GE_LBUTTONDBLCLK,
                      GE_RBUTTONDBLCLK, GE_MBUTTONDBLCLK})
        mouseAt(120, 110, event);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(fakePlatform.clickCues, 1);
    mouseAt(150, 120, GE_LBUTTONUP);
    EXPECT_EQ(fired, 2);
    EXPECT_EQ(fakePlatform.clickCues, 2);
}

TEST(GuiHoverGroupTest, HighlightsTheFirstMemberUnderTheMouseCentredAndClipped) {
    GuiScreen* screen = &hoverScreen;
    registerScreen(screen);
    GuiButton* one = new GuiButton;
    GuiButton* two = new GuiButton;
    GuiButton* overlap = new GuiButton;
    one->setRect(20, 20, 10, 10);
    two->setRect(40, 20, 10, 10);
    overlap->setRect(45, 20, 10, 10);
    // A 20 x 4 hover picture, larger than its button: centred on it, clipped to the group.
    ASSERT_TRUE(one->getImage().create(20, 4, GUI_FORMAT_32, false));
    std::fill_n(one->getImage().getData(0, 0), one->getImage().getSizeBytes(), 255);
    GuiHoverGroup* group = new GuiHoverGroup;
    group->setRect(18, 15, 50, 20);
    for (GuiButton* b : {one, two, overlap}) screen->addChild(b, countFire);
    screen->addChild(group);
    for (GuiButton* b : {one, two, overlap}) group->addMember(b);
    showScreen(screen);

    mouseAt(25, 25, GE_MOUSEMOVE);
    EXPECT_EQ(group->getHovered(), one);
    mouseAt(35, 25, GE_MOUSEMOVE);  // the gap between members
    EXPECT_EQ(group->getHovered(), nullptr);
    mouseAt(47, 25, GE_MOUSEMOVE);
    EXPECT_EQ(group->getHovered(), two);
    mouseAt(47, 25, GE_LBUTTONUP);
    EXPECT_EQ(group->getHovered(), two);

    GuiImage& buffer = getRenderer()->getBackBuffer();
    auto blue = [&](int x, int y) { return buffer.getData(x, buffer.getHeight() - 1 - y)[0]; };
    mouseAt(25, 25, GE_MOUSEMOVE);
    buffer.clear();
    redrawAll();
    // Centre (25, 25): x from 15 to 34, cut at the group's left edge 18; y from 23 to 26.
    EXPECT_EQ(blue(17, 24), 0);
    EXPECT_EQ(blue(18, 24), 254);
    EXPECT_EQ(blue(34, 23), 254);
    EXPECT_EQ(blue(35, 24), 0);
    EXPECT_EQ(blue(25, 22), 0);
    EXPECT_EQ(blue(25, 27), 0);
    // The clip is reset afterwards.
    EXPECT_EQ(getRenderer()->getClip(), GuiRect(0, 0, 550, 400));
    // Leaving the group keeps hovered but hides the highlight.
    setMousePos(getGuiArea().x + 200, getGuiArea().y + 200);
    buffer.clear();
    redrawAll();
    EXPECT_EQ(group->getHovered(), one);
    EXPECT_EQ(blue(25, 24), 0);
}

TEST(GuiRendererTest, PixelsTheWindowShowsAlreadyAreNotPresentedAgain) {
    fakePlatform.reset();
    GuiDibRenderer renderer;
    renderer.init(&window);
    renderer.setArea(GuiRect(2, 3, 4, 2));
    renderer.setClip(nullptr);
    renderer.present();
    renderer.present();
    EXPECT_EQ(fakePlatform.presents, 1);

    GuiImage dot;
    ASSERT_TRUE(dot.create(1, 1, GUI_FORMAT_24, false));
    std::fill_n(dot.getData(0, 0), 3, 200);
    renderer.drawImage(dot, 3, 1, 1.0f);
    renderer.present();
    EXPECT_EQ(fakePlatform.presents, 2);
    EXPECT_EQ(fakePlatform.presentedBits[9], 200);  // bottom-up: the lower row comes first

    // The window lost its pixels; then a new, black buffer.
    renderer.forgetPresented();
    renderer.present();
    EXPECT_EQ(fakePlatform.presents, 3);
    renderer.setArea(GuiRect(2, 3, 4, 2));
    renderer.present();
    EXPECT_EQ(fakePlatform.presents, 4);
    EXPECT_EQ(fakePlatform.presentedBits[9], 0);
}

TEST(GuiRendererTest, AreaClipAndBufferStayConsistent) {
    GuiDibRenderer renderer;
    fakePlatform.clientWidth = 13;
    fakePlatform.clientHeight = 7;
    renderer.init(&window);
    EXPECT_EQ(renderer.getArea(), GuiRect(0, 0, 13, 7));
    EXPECT_EQ(renderer.getBackBuffer().getStride(), 40);  // 39 bytes padded to 40
    EXPECT_EQ(renderer.getHeader().size, 40u);
    EXPECT_EQ(renderer.getHeader().bitCount, 24);
    renderer.setClip(nullptr);
    EXPECT_EQ(renderer.getClip(), GuiRect(0, 0, 13, 7));
    // A smaller area keeps the old, larger clip, yet nothing lands outside the buffer.
    renderer.setArea(GuiRect(3, 4, 5, 2));
    EXPECT_EQ(renderer.getClip(), GuiRect(0, 0, 13, 7));
    GuiImage big;
    ASSERT_TRUE(big.create(30, 30, GUI_FORMAT_24, false));
    std::fill_n(big.getData(0, 0), big.getSizeBytes(), 77);
    renderer.drawImage(big, -3, -3, 1.0f);
    EXPECT_EQ(renderer.getBackBuffer().getData(4, 1)[2], 77);
    renderer.drawImage(big, 0, 0, 0.0f);
    renderer.present();
    EXPECT_EQ(fakePlatform.presentedArea, GuiRect(3, 4, 5, 2));
    EXPECT_EQ(fakePlatform.presentedBits.size(), 32u);
    // A window smaller than the area asked for gives an empty buffer, not a crash.
    renderer.setArea(GuiRect(0, 0, -5, 10));
    renderer.drawImage(big, 0, 0, 1.0f);
    renderer.present();
}
