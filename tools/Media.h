// The set of drawn files, keyed by their catalogue path, and the painters
// that fill it, one per subject.
#pragma once

#include "Canvas.h"

#include <array>
#include <map>
#include <string>
#include <string_view>

namespace Art {

class Media {
  public:
    // A canvas of the size the catalogue loads `file` at (its first load).
    static Canvas blank(std::string_view file);
    // An opaque picture.
    void put(std::string_view file, const Canvas& c);
    // A picture and its mask from one painted canvas: the mask is white
    // exactly where something was painted.
    void sprite(std::string_view picture, std::string_view mask, const Canvas& c);
    const Canvas* find(std::string_view file) const;
    const std::map<std::string, Canvas, std::less<>>& files() const { return files_; }

  private:
    std::map<std::string, Canvas, std::less<>> files_;
};

void drawHero(Media& m);
void drawEnemies(Media& m);
void drawBosses(Media& m);
void drawItems(Media& m);
void drawShots(Media& m);
void drawEffects(Media& m);
void drawFields(Media& m);
void drawCave(Media& m);
void drawVolcano(Media& m);
void drawScreens(Media& m);
void drawButtons(Media& m);

// The painters in the order the generator runs them, each with what it
// paints; none looks at another's pictures, so the page can run them one at
// a time and tell how far it has got. Heaviest first: the page's workers
// each take the next as they come free, and so end close together.
struct Painter {
    const char* subject;
    void (*paint)(Media&);
    int weight; // about how long it paints, in ms on a desktop: the page's bar goes by it
};
extern const std::array<Painter, 11> kPainters;

// Every picture of the catalogue on one labelled sheet.
Canvas contactSheet(const Media& m);

} // namespace Art
