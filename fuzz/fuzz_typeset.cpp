// The typeset layout of whatever a command line gives, as the console draws
// it: the command is carried out and its result laid out through a surface
// that keeps box sizes only, with no pixels. Each child box must fit inside
// the box it is copied into, and every box must be as large as its picture.
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "engine/Typeset.h"
#include "graphics/SceneModel.h"
#include "lang/CommandInterpreter.h"
#include "lang/Transcript.h"

namespace {

// The console typesets results whose text form is at most this long and
// prints longer ones as text.
constexpr std::size_t kMaxTypesetText = 2000;

class SizeImage : public kv::TypesetImage {
  public:
    SizeImage(int w, int h) : width(w), height(h) {}
    int width;
    int height;
};

const SizeImage& sized(const kv::TypesetImage& image) {
    return static_cast<const SizeImage&>(image);
}

// Fixed metrics like the recording surface of the tests: characters 7/13 of
// the font size wide, text as high as the font plus 3.
class SizeSurface : public kv::TypesetSurface {
  public:
    int size = 13;
    int fontPixelSize() const override { return size; }
    void setFontPixelSize(int pixels) override { size = pixels; }
    kv::TextExtent measureText(std::string_view utf8) override {
        int chars = 0;
        for (unsigned char c : utf8)
            if ((c & 0xC0) != 0x80) ++chars;
        return {chars * averageCharWidth(), size + 3};
    }
    int averageCharWidth() override { return size * 7 / 13; }
    int fontHeight() override { return size + 3; }
    std::unique_ptr<kv::TypesetImage> newImage(int width, int height) override {
        kv::fuzz::check(width >= 0 && height >= 0, "picture of negative size");
        return std::make_unique<SizeImage>(width, height);
    }
    void drawText(kv::TypesetImage&, int, int, int, int, std::string_view) override {}
    void drawLine(kv::TypesetImage&, int, int, int, int) override {}
    void setPixel(kv::TypesetImage&, int, int) override {}
    void copyImage(kv::TypesetImage& target, const kv::TypesetImage& source, int x,
                   int y) override {
        const SizeImage& t = sized(target);
        const SizeImage& s = sized(source);
        kv::fuzz::check(x >= 0 && y >= 0 && x + s.width <= t.width && y + s.height <= t.height,
                        "a child box copied outside its parent");
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view line = kv::fuzz::asText(data, size);
    line = line.substr(0, line.find('\n'));

    kv::SceneModel scene;
    kv::CommandInterpreter ci(&scene);
    kv::CommandOutcome out = kv::executeCommand(ci, line);
    if (out.failed) return 0;
    kv::Workspace::Scope scope(ci.workspace());
    if (out.result->toText().size() > kMaxTypesetText) return 0;
    SizeSurface surface;
    kv::TypesetBox box = out.result->typeset(surface);
    kv::fuzz::check(box.image != nullptr, "no picture for a result");
    const SizeImage& image = sized(*box.image);
    kv::fuzz::check(image.width == box.width && image.height == box.height,
                    "a box and its picture differ in size");
    return 0;
}
