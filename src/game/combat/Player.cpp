#include "game/combat/Player.h"
#include "display/Display.h"
#include "display/KeyCodes.h"
#include "game/combat/Tables.h"
#include "game/core/World.h"

namespace Morvek {

void MoveDragon() {
    using namespace Tables;
    // A step that would reach a bound is not taken at all.
    if (Display::KeyDown(Display::KeyCode::kLeft) && world.dragon.x - 10 > 25) {
        world.dragon.x = world.dragon.x - 10;
    }
    if (Display::KeyDown(Display::KeyCode::kRight) && world.dragon.x + 10 < 999) {
        world.dragon.x = world.dragon.x + 10;
    }
    if (Display::KeyDown(Display::KeyCode::kUp) && world.dragon.y - 10 > 85) {
        world.dragon.y = world.dragon.y - 10;
    }
    if (Display::KeyDown(Display::KeyCode::kDown) && world.dragon.y + 10 < 743) {
        world.dragon.y = world.dragon.y + 10;
    }
}

void ReloadShot() {
    if (world.counter % 7 == 0 && CountUsed(world.bullets) < kBulletSlots) {
        world.dragon.shotReady = true;
    }
}

void Shoot() {
    if (!Display::KeyDown(Display::KeyCode::kSpace) || !world.dragon.shotReady ||
        world.dragon.magic <= 0) {
        return;
    }
    // The volley is paid for even when the table is too full to take it.
    world.dragon.magic = world.dragon.magic - 5;
    if (CountUsed(world.bullets) + 2 < kBulletSlots) {
        const Tables::Volley& volley = Tables::VolleyOf(world.dragon.upgrade);
        for (std::uint32_t s = 0; s < volley.count; ++s) {
            const Tables::VolleyShot& shot = volley.shots[s];
            NewBullet(world.dragon.x + shot.dx, world.dragon.y + shot.dy, shot.speedX, shot.speedY);
        }
    }
    world.dragon.shotReady = false;
}

void NewBullet(float x, float y, float speedX, float speedY) {
    for (const std::uint32_t i : Slots(world.bullets)) {
        Bullet& b = world.bullets[i];
        if (!b.state) {
            b.type = 0;
            b.x = x;
            b.y = y;
            b.speedX = speedX;
            b.speedY = speedY;
            b.state = true;
            b.radius = 10.0f;
            return;
        }
    }
    // No free slot: this fireball is simply not fired.
}

void RefillMagic() {
    if (world.counter % 10 == 0 && world.dragon.magic < 100) {
        world.dragon.magic = world.dragon.magic + 5;
    }
}

} // namespace Morvek
