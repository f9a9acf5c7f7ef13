#include "game/combat/Player.h"
#include "display/KeyCodes.h"
#include "display/Wimdows.h"
#include "game/combat/Tables.h"
#include "game/core/World.h"

namespace Procedures {

namespace {

card BulletsInUse() {
    card used = 0;
    for (card i = 1; i <= 100; ++i) {
        used += bullets[i].state ? 1 : 0;
    }
    return used;
}

} // namespace

void Move() {
    using namespace Tables;
    // A step that would reach a bound is not taken at all.
    if (Wimdows::KeyDown(Wimdows::KeyCode::kLeft) && schip.x - 10 > 25) {
        schip.x = schip.x - 10;
    }
    if (Wimdows::KeyDown(Wimdows::KeyCode::kRight) && schip.x + 10 < 999) {
        schip.x = schip.x + 10;
    }
    if (Wimdows::KeyDown(Wimdows::KeyCode::kUp) && schip.y - 10 > 85) {
        schip.y = schip.y - 10;
    }
    if (Wimdows::KeyDown(Wimdows::KeyCode::kDown) && schip.y + 10 < 743) {
        schip.y = schip.y + 10;
    }
}

void Shootstate() {
    if (counter % 7 == 0 && BulletsInUse() < 100) {
        schip.shootstate = true;
    }
}

void Shoot() {
    if (!Wimdows::KeyDown(Wimdows::KeyCode::kSpace) || !schip.shootstate || schip.magic <= 0) {
        return;
    }
    // The volley is paid for even when the table is too full to take it.
    schip.magic = schip.magic - 5;
    if (BulletsInUse() + 2 < 100) {
        const Tables::Volley& volley = Tables::VolleyOf(schip.upgrade);
        for (card s = 0; s < volley.count; ++s) {
            const Tables::VolleyShot& shot = volley.shots[s];
            NewBullet(schip.x + shot.dx, schip.y + shot.dy, shot.speedx, shot.speedy);
        }
    }
    schip.shootstate = false;
}

void NewBullet(real x, real y, real speedx, real speedy) {
    for (card i = 1; i <= 100; ++i) {
        bullet& b = bullets[i];
        if (!b.state) {
            b.type = 0;
            b.x = x;
            b.y = y;
            b.speedx = speedx;
            b.speedy = speedy;
            b.state = true;
            b.length = 10.0f;
            return;
        }
    }
    // No free slot: this fireball is simply not fired.
}

void MagicRefill() {
    if (counter % 10 == 0 && schip.magic < 100) {
        schip.magic = schip.magic + 5;
    }
}

} // namespace Procedures
