#!/usr/bin/env python3
# Writes recordings/sessions/*.txt: python3 scripts/sessions.py recordings/sessions
"""Writes the sessions of the replay net: scripts that drive the game through
game overs, give-ups, pauses, focus losses, several games a session, the
screens and the name entry. Each dumps its state at its turning points."""
import sys, pathlib

class S:
    def __init__(self, name, header, options=(), args=''):
        self.name, self.lines, self.n = name, [f'# {h}' for h in header], 0
        if args:
            self.lines.append(f'# args: {args}')
        for o in options:
            self.lines.append(f'0 option {o}')
    def at(self, t, what, note=''):
        self.lines.append(f'{t} {what}' + (f'  # {note}' if note else ''))
    def click(self, t, x, y, note=''):
        self.at(t, f'mouse move {x} {y}', note)
        self.at(t + 100, 'mouse down left')
        self.at(t + 160, 'mouse up left')
        return t + 400
    def key(self, t, code, hold=60, note=''):
        self.at(t, f'key down 0x{code:02X}', note)
        self.at(t + hold, f'key up 0x{code:02X}')
        return t + hold + 100
    def type(self, t, text):
        for c in text:
            t = self.key(t, ord(c))
        return t
    def state(self, t, label):
        self.n += 1
        self.at(t, f'state {self.name}-{self.n:02}-{label}.json')
    def save(self, t, name, note='Save, then the name, then Return'):
        t = self.click(t, 930, 687, note)
        t = self.type(t + 500, name)
        self.state(t, 'name-typed')
        # The Return button held while Return is pressed, as a player might
        self.at(t + 200, 'mouse move 90 685')
        self.at(t + 300, 'mouse down left')
        self.at(t + 360, 'key down 0x0D')
        self.at(t + 400, 'key up 0x0D')
        self.at(t + 400, 'mouse up left')
        self.state(t + 1500, 'saved')
        return self.click(t + 2000, 930, 600, 'off the button') and self.click(t + 2500, *RETURN, 'Return to the menu') + 500
    def write(self, folder):
        head = [l for l in self.lines if l.startswith('#')]
        events = sorted((l for l in self.lines if not l.startswith('#')), key=lambda l: int(l.split()[0]))
        (folder / f'{self.name}.txt').write_text('\n'.join(head + events) + '\n')

NEW, OPTIONS, HIGH, STORY, CREDITS, END = (175, 175), (175, 275), (175, 375), (175, 75), (175, 475), (175, 575)
RETURN = (110, 687)
ESC, P, SPACE, LEFT, UP, RIGHT, DOWN = 0x1B, 0x50, 0x20, 0x25, 0x26, 0x27, 0x28

def three_games():
    s = S('three-games', ['Three games in one session on the defaults (normal, fast):',
                          'the first lost and saved, the second paused, unfocused and given up,',
                          'the third flown and fired until lost, saved, and the table shown.'])
    s.state(500, 'menu')
    t = s.click(800, *NEW, 'New game')
    s.state(5000, 'playing')
    s.state(45000, 'game-over')
    t = s.save(45500, 'ALPHA')
    s.state(t, 'menu-after-save')
    t = s.click(t + 500, *NEW, 'the second game')
    t = s.key(t + 3000, P, note='pause')
    s.state(t + 2000, 'paused')
    t = s.key(t + 5000, P, note='and on')
    s.at(t + 1500, 'focus lost')
    s.state(t + 2500, 'unfocused')
    s.at(t + 4000, 'focus gained')
    t = s.key(t + 5000, P, note='the key goes on after the focus came back')
    s.state(t + 1000, 'back')
    t = s.key(t + 2000, ESC, note='give up')
    s.state(t + 2000, 'given-up')
    t = s.click(t + 2500, *RETURN, 'Return without saving')
    s.state(t + 1000, 'menu-again')
    t = s.click(t + 1500, *NEW, 'the third game')
    s.at(t + 500, f'key down 0x{SPACE:02X}')
    for i in range(12):
        s.key(t + 1000 + i * 2000, UP if i % 2 else DOWN, hold=500)
    s.at(t + 26000, f'key up 0x{SPACE:02X}')
    s.state(t + 60000, 'third-over')
    t = s.save(t + 60500, 'GAMMA')
    t = s.click(t, *HIGH, 'the table')
    s.state(t + 1000, 'table')
    t = s.click(t + 1500, *RETURN, 'Return')
    s.click(t + 1000, *END, 'End')
    return s

def every_screen():
    s = S('every-screen', ['Every screen on hard and slow, chosen on the options screen: story,',
                           'options, controls, highscores, credits; then a game lost and left unsaved.'])
    t = s.click(500, *STORY, 'Story')
    s.state(t + 500, 'story')
    t = s.click(t + 1000, *RETURN, 'Return')
    t = s.click(t + 500, *OPTIONS, 'Options')
    t = s.click(t + 300, 730, 290, 'hard')
    t = s.click(t + 300, 330, 540, 'slow')
    s.state(t + 300, 'options')
    t = s.click(t + 500, 930, 687, 'Controls')
    s.state(t + 500, 'controls')
    t = s.click(t + 800, *RETURN, 'back to the options')
    t = s.click(t + 800, *RETURN, 'back to the menu')
    t = s.click(t + 500, *HIGH, 'Highscore')
    s.state(t + 500, 'highscores')
    t = s.click(t + 1000, *RETURN, 'Return')
    t = s.click(t + 500, *CREDITS, 'Credits')
    s.state(t + 500, 'credits')
    t = s.click(t + 1000, *RETURN, 'Return')
    t = s.click(t + 500, *NEW, 'New game')
    s.state(t + 5000, 'playing')
    s.state(t + 90000, 'game-over')
    t = s.click(t + 90500, *RETURN, 'Return')
    s.state(t + 1000, 'menu')
    s.at(t + 2000, 'close')
    return s

def practice(name, header, options, lost_after, games=2):
    s = S(name, header, options, header[0].split(':')[0])
    t = 500
    for g in range(games):
        t = s.click(t, *NEW, 'New game')
        s.state(t + 3000, f'game{g + 1}-playing')
        s.state(t + lost_after, f'game{g + 1}-over')
        t = t + lost_after + 500
        if g == 0:
            t = s.save(t, 'BETA')
        else:
            t = s.click(t, *RETURN, 'Return') + 1000
        s.state(t, f'game{g + 1}-menu')
        t += 500
    s.at(t, 'close')
    return s

sessions = [
    three_games(),
    every_screen(),
    practice('level-2', ['--level 2: two games begun in the second level, on easy, both lost.'],
             ['difficulty easy', 'speed fast'], 90000),
    practice('level-3', ['--level 3: two games begun in the third level, on normal and slow, both lost.'],
             ['difficulty normal', 'speed slow'], 120000),
    practice('boss-1', ['--level 1 --boss: two fights with the first boss on hard, both lost.'],
             ['difficulty hard', 'speed fast'], 60000),
    practice('boss-3', ['--level 3 --boss: two fights with the last boss, both lost.'],
             ['difficulty normal', 'speed fast'], 60000),
]
out = pathlib.Path(sys.argv[1])
out.mkdir(parents=True, exist_ok=True)
for s in sessions:
    s.write(out)

