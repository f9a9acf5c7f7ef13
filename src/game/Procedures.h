// Every procedure of the game, by the unit that holds it. All of them work on
// the world state of core/World.h.
#pragma once

#include "game/core/World.h"

namespace Procedures {

// core/Catalogue.cpp: the pictures of the game.
void Loadbmp();
void Destroybmp();

// core/FrameLoop.cpp: waves, lives and the cheat keys.
void Levelcontroller();
void Loop();
void EnterField();
bool Proceed();
void LifeController();
void ClearArrays();
void Cheats();

// core/Pause.cpp: called once per wave or boss tick, after its sleep; holds
// the game while it is paused.
void PauseCheck();

// core/Render.cpp: a frame of play drawn from the world, which it leaves as
// it was. Draw is the whole frame; a tick draws it in three layers, as the
// shield and the beam come between them.
bool FieldShown(); // a level with a field to show
void Draw();
void DrawBehindDragon(); // background and head-up display
void DrawField();        // shield, dragon, enemies, items, hazards and shots
void DrawOnTop();        // beam and explosions

// core/Field.cpp: a tick's frame of play and what it does to the game, in
// the order the frame shows it.
void FieldFrame();
void ScrollBackground();
// The dragon dies on black in the deadly area under its centre, or on an
// icicle it lies on.
void DeadlyContacts();

// combat/Player.cpp: movement and gun.
void Move();
void Shootstate();
void Shoot();
void NewBullet(real x, real y, real speedx, real speedy);
void MagicRefill();

// combat/BeamShield.cpp: fire beam and shield, and their pictures.
void Energybeam();
void Energyshield();
void DrawEnergybeam();
void DrawEnergyshield();
void LaserHit(card i);

// combat/Enemies.cpp: creation and movement.
void CreateEnemy(real x, real y, card number, card type, card path);
void Enemymove();
void KamikazeEnemy();

// combat/EnemyFire.cpp: enemy fire and bullet motion.
void Enemyshoot();
void Bulletmove();

// combat/Collision.cpp: hits, damage, explosions and score.
void Collision();
void Bullethit(card i);
void TakingFire(card i);
void Explosion(real x, real y, card type);
void ExplosionCease();
void AddScore(card type);
real Distance(real x1, real x2, real y1, real y2);

// combat/Items.cpp: drops and pick-ups.
void Dropitem(card i);
void Itemmove();
void ObjectCollect(card i, card j);
void ObjectText(card i, card j);
// The floating text of a pick-up shown this frame ages by a frame.
void AgeObjectText();

// levels/Difficulty.cpp
card DynamicDifficulty(card actdiff);

// levels/Levels.cpp: the three level scripts and their interludes.
void Level1();
void Level2();
void Level3();

// levels/Practice.cpp: a new game started at a chosen level or boss fight
// (command line --level N, --boss). Called by NewGame after its reset.
void PracticeStart();

// levels/Hazards.cpp: castles, icicles and fireballs.
void Backgroundenemy();
void Ijspegel();
void Vuurbal();

// levels/Bosses.cpp
void BossFight1();
void BossFight2();
void BossFight3();

// screens/Menu.cpp
void MenuDraw();
bool MenuSelect(integer x, integer y, integer x1, integer y1, integer x2, integer y2, card button);

// screens/Highscore.cpp
// The dragon, score, level, counters and difficulty as a new game starts them.
void ResetGame();
void NewGame();
void Save();
void HighScore();

// screens/GameOver.cpp
void GameOver();
void GameOverSave();

// screens/Options.cpp
void MenuOptions();

// screens/Controls.cpp: the keys of play, reached from the options.
void MenuControls();

// screens/StoryCredits.cpp
void Story();
void Credit();

} // namespace Procedures
