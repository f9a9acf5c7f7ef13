#!/usr/bin/env python3
"""The page against the native game, in headless Chromium and Firefox.

Each input script is played headless by the native build and by the page;
every picture (by SHA-256) and every state the script takes must be equal.
Then the page is opened as a player would, and must show its first frame,
and as the leaderboard's Watch opens it, against a stand-in of the server's
API: the ranked game must end in the state the native verifier gives. With
--server, the real leaderboard server too: a submitted recording is ranked,
its board shows in the page, and Watch plays it to the state it stored.
With both, the page sends a game it played to the server that serves it
(web/online_test.js), which places it with the score the native verifier
gives its recording. With --puppeteer, the page as a player meets it (web/page_test.js): its
loading, the browser's keys in play and on the menus, the end, its console;
in Chromium, and with --firefox in Firefox too, which also plays a script
against the native game. With --bench, prints the page's download size,
its first and second visit's time to the first frame (min and median of a
few rounds) against the native start-up, and the longest the first visit
held the page's thread.
"""
import argparse
import base64
import contextlib
import functools
import hashlib
import http.server
import json
import os
import pathlib
import queue
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

import serve

ROOT = pathlib.Path(__file__).resolve().parent.parent
CHROMIUM_FLAGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic',
                  '--no-first-run', '--disable-background-networking',
                  '--disable-component-update', '--disable-sync', '--window-size=1024,768']
PAGE_TIMEOUT_S = 240
BENCH_ROUNDS = 3


def checkpointed(script_text, every):
    """The script with a state dump before every picture and every `every` lines, and at its end."""
    out, count, last_ms = [], 0, '0'
    for line in script_text.splitlines():
        words = line.split('#')[0].split()
        if len(words) >= 2:
            last_ms = words[0]
            count += 1
            if words[1] == 'shot' or count % every == 0:
                out.append(f'{words[0]} state state-{count:05}-{words[0]}.json')
        out.append(line)
    out.append(f'{last_ms} state state-end.json')
    return '\n'.join(out) + '\n'


def native_results(morvek, script):
    """What the native build takes of the script: {file: 'sha256:..' or base64}."""
    with tempfile.TemporaryDirectory() as run:
        (pathlib.Path(run) / 'Media').symlink_to(pathlib.Path(morvek).resolve().parent / 'Media')
        (pathlib.Path(run) / 'script.txt').write_text(script)
        subprocess.run([os.path.abspath(morvek), '--headless', '--script', 'script.txt'],
                       cwd=run, check=True, stdout=subprocess.DEVNULL, timeout=600)
        results = {}
        for path in sorted(pathlib.Path(run).rglob('*')):
            rel = path.relative_to(run).as_posix()
            if path.is_dir() or rel.startswith('Media') or rel == 'script.txt':
                continue
            data = path.read_bytes()
            results[rel] = ('sha256:' + hashlib.sha256(data).hexdigest() if rel.endswith('.bmp')
                            else base64.b64encode(data).decode())
        return results


class Page:
    """The page served with test files beside it, and reports it posts back.

    As the leaderboard's server has it, the page is under /play/ too, beside
    /api/v1/runs/ID and its /recording, answered from `runs`:
    {id: (the run's JSON, its recording)}."""

    def __init__(self, page_dir):
        self.dir = tempfile.mkdtemp(prefix='morvek-web-')
        for f in os.listdir(page_dir):
            shutil.copy(os.path.join(page_dir, f), self.dir)
        self.reports = queue.Queue()
        self.runs = {}
        reports, runs = self.reports, self.runs

        class Handler(serve.Handler):
            def do_GET(self):
                if self.path.startswith('/api/v1/runs/'):
                    self.api(self.path.removeprefix('/api/v1/runs/'))
                    return
                if self.path.startswith('/play/'):
                    self.path = self.path.removeprefix('/play')
                super().do_GET()

            def api(self, asked):
                run_id, _, what = asked.partition('/')
                found = runs.get(run_id)
                if found is None or what not in ('', 'recording'):
                    status, kind = 404, 'application/json'
                    body = '{"error": "no-run", "reason": "there is no such run"}'
                elif what == 'recording':
                    status, kind, body = 200, 'text/plain; charset=utf-8', found[1]
                else:
                    status, kind, body = 200, 'application/json', json.dumps(found[0])
                data = body.encode()
                self.send_response(status)
                self.send_header('Content-Type', kind)
                self.send_header('Content-Length', str(len(data)))
                self.end_headers()
                self.wfile.write(data)

            def do_POST(self):
                body = self.rfile.read(int(self.headers['Content-Length'])).decode()
                self.send_response(204)
                self.end_headers()
                reports.put(body)

        self.server = http.server.ThreadingHTTPServer(
            ('127.0.0.1', 0), functools.partial(Handler, directory=self.dir))
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.address = f'http://127.0.0.1:{self.server.server_address[1]}/'

    def open(self, query, profile=None, path='index.html', firefox=None):
        """Opens path?query in a fresh browser (or the given profile); returns its report.

        A browser that reports nothing in time is tried once more, so a
        stalled start-up is not taken for a fault of the page."""
        for attempt in (1, 2):
            report = self._open_once(query, profile, path, firefox)
            if report is not None:
                return report
            print(f'web test: no report from the page within {PAGE_TIMEOUT_S} s (try {attempt})')
        sys.exit(f'web test: the page never reported ({query})')

    def _open_once(self, query, profile, path, firefox):
        own = profile is None
        profile = profile or tempfile.mkdtemp(prefix='morvek-browser-')
        url = f'{self.address}{path}?{query}&report=/report'
        command = ([firefox, '--headless', '--no-remote', '--profile', profile, url] if firefox
                   else ['chromium', *CHROMIUM_FLAGS, f'--user-data-dir={profile}', url])
        browser = subprocess.Popen(command,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   start_new_session=True)
        try:
            return self.reports.get(timeout=PAGE_TIMEOUT_S)
        except queue.Empty:
            return None
        finally:
            os.killpg(browser.pid, 9)
            browser.wait()
            if own:
                shutil.rmtree(profile, ignore_errors=True)

    def close(self):
        self.server.shutdown()
        shutil.rmtree(self.dir, ignore_errors=True)


def parse_report(text):
    head, _, rest = text.partition('\n')
    results = {}
    for line in rest.splitlines():
        name, _, value = line.partition(' ')
        results[name] = value
    return head, results


def compare(name, native, page_head, page):
    if page_head != 'exit 0':
        return [f'{name}: the page ended with "{page_head}"']
    faults = []
    # The page keeps its table in its storage, /save; the lock is the save's own.
    native = {k: v for k, v in native.items() if not k.endswith('.lock')}
    page = {k.removeprefix('save/'): v for k, v in page.items()
            if not k.endswith('.lock') and k != 'media'}
    for file in sorted(set(native) | set(page)):
        if file not in page:
            faults.append(f'{name}: the page did not write {file}')
        elif file not in native:
            faults.append(f'{name}: the page wrote {file}, the native game did not')
        elif native[file] != page[file]:
            what = 'picture' if file.endswith('.bmp') else 'state'
            faults.append(f'{name}: the {what} {file} differs from the native one')
    return faults


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--native', required=True)
    parser.add_argument('--page', required=True)
    parser.add_argument('--server', help='the leaderboard server, to watch a run it ranked')
    parser.add_argument('--puppeteer', help='the node_modules folder that holds puppeteer-core')
    parser.add_argument('--firefox', help='Firefox, to test the page in it too')
    parser.add_argument('--shots', help='with --puppeteer: where to put pictures of the page')
    parser.add_argument('--bench', action='store_true')
    parser.add_argument('--against', help='with --bench: another build of the page, measured '
                        'in turn with this one')
    args = parser.parse_args()
    page = Page(args.page)
    faults = []
    try:
        if args.bench:
            bench(args, page)
            return
        for script, every in [(ROOT / 'recordings' / 'autopilot.txt', 80),
                              (ROOT / 'web' / 'menu-to-game-over.txt', 10)]:
            text = checkpointed(script.read_text(), every)
            native = native_results(args.native, text)
            (pathlib.Path(page.dir) / 'test.txt').write_text(text)
            head, results = parse_report(page.open('script=test.txt'))
            found = compare(script.name, native, head, results)
            faults += found
            print(f'web test: {script.name}: {len(native)} pictures and states, '
                  f'{"all equal to the native ones" if not found else f"{len(found)} differ"}')
        faults += scores_survive_reload(page)
        faults += watch_a_run(args.native, page)
        if args.server:
            faults += watch_on_the_server(args.native, args.server, page)
        if args.server and args.puppeteer:
            faults += sent_from_the_page(args, page)
        if args.puppeteer:
            faults += as_a_player(args, page, 'chromium', shutil.which('chromium'))
        if args.firefox:
            faults += in_firefox(args, page)
    finally:
        page.close()
    for f in faults:
        print('FAIL', f)
    sys.exit(1 if faults else 0)


def as_a_player(args, page, name, executable):
    """web/page_test.js in one browser; its faults."""
    command = ['xvfb-run', '-a', 'node', str(ROOT / 'web' / 'page_test.js'), '--browser', name, '--executable',
               executable, '--url', page.address + 'index.html']
    if args.shots:
        os.makedirs(args.shots, exist_ok=True)
        command += ['--shots', args.shots]
    env = dict(os.environ, NODE_PATH=args.puppeteer)
    try:
        run = subprocess.run(command, env=env, capture_output=True, text=True, timeout=300)
    except subprocess.TimeoutExpired:
        return [f'{name}: the player\'s test did not end in 300 s']
    lines = run.stdout.splitlines()
    for line in lines:
        if not line.startswith('FAIL '):
            print('web test:', line)
    faults = [line.removeprefix('FAIL ') for line in lines if line.startswith('FAIL ')]
    if run.returncode != 0 and not faults:
        faults.append(f'{name}: the player\'s test failed: {run.stderr.strip()[-2000:]}')
    return faults


def in_firefox(args, page):
    """A recorded game played in Firefox to the native game's pictures and
    states, then the page as a player meets it there."""
    script = ROOT / 'web' / 'menu-to-game-over.txt'
    text = checkpointed(script.read_text(), 10)
    native = native_results(args.native, text)
    (pathlib.Path(page.dir) / 'test.txt').write_text(text)
    head, results = parse_report(page.open('script=test.txt', firefox=args.firefox))
    faults = compare(f'firefox: {script.name}', native, head, results)
    print(f'web test: firefox: {script.name}: {len(native)} pictures and states, '
          f'{"all equal to the native ones" if not faults else f"{len(faults)} differ"}')
    if args.puppeteer:
        faults += as_a_player(args, page, 'firefox', args.firefox)
    return faults


def scores_survive_reload(page):
    """A highscore saved in the page is still in its table after a reload."""
    profile = tempfile.mkdtemp(prefix='morvek-chromium-')
    try:
        (pathlib.Path(page.dir) / 'game.txt').write_text(
            (ROOT / 'web' / 'menu-to-game-over.txt').read_text())
        (pathlib.Path(page.dir) / 'look.txt').write_text('500 shot shots/menu.bmp\n')
        _, played = parse_report(page.open('script=game.txt', profile))
        _, reloaded = parse_report(page.open('script=look.txt', profile))
    finally:
        shutil.rmtree(profile, ignore_errors=True)
    table = base64.b64decode(reloaded.get('save/myscore.txt', '')).decode(errors='replace')
    saved = base64.b64decode(played.get('save/myscore.txt', '')).decode(errors='replace')
    if not saved.startswith('WEB '):
        return [f'reload: the game did not save its highscore in the page (table: {saved!r})']
    if table != saved:
        return [f'reload: the highscores did not survive a reload (table now: {table!r})']
    # The reload plays on the pictures the first visit kept, which must draw
    # the same menu as those it drew.
    if (played.get('media'), reloaded.get('media')) != ('drawn', 'kept') or \
            reloaded.get('shots/menu.bmp') != played.get('shots/menu.bmp'):
        return [f"reload: the menu on kept pictures ({reloaded.get('media')}) differs from "
                f"the menu on drawn ones ({played.get('media')})"]
    print('web test: the highscores survive a reload of the page, whose kept pictures draw '
          'the same menu')
    return []


def watch_a_run(native, page):
    """The leaderboard's Watch of the kept two games, ranked by their second.

    The page fetches the run and its recording from the API, fast-forwards
    through the first game and plays the second at its pace, to the end state
    the native verifier gives, which is what the server stores. A run that
    can't be watched is said in one line."""
    recording = (ROOT / 'recordings' / 'two-games.txt').read_text()
    verified = json.loads(subprocess.run(
        [os.path.abspath(native), '--verify', str(ROOT / 'recordings' / 'two-games.txt')],
        check=True, capture_output=True, text=True, timeout=120).stdout)
    game = verified['games'][1]
    run = {'run': 7, 'status': 'accepted', 'name': 'ASH', 'game': 2, 'rules': verified['rules'],
           'board': f"{game['difficulty']}-{game['speed']}", 'score': game['score'],
           'won': game['won'], 'ticks': game['ticks'], 'place': 1, 'input': game['input'],
           'state': game['state']}
    # The verifier passes over a recording's pictures and states without
    # looking where they would go; the page must leave them out too.
    page.runs['7'] = (run, recording + '35200 state ../elsewhere.json\n')
    page.runs['8'] = ({'run': 8, 'status': 'refused', 'name': 'ASH', 'code': 'cheat',
                       'reason': 'a cheat key was down in the ranked game'}, recording)
    # Accepted by a server of other rules than this page's game.
    page.runs['10'] = (run, re.sub(r'(?m)^0 option rules [0-9]+$', '0 option rules 99', recording))
    head, seen = parse_report(page.open('run=7', path='play/'))
    faults = []
    if head != 'watch-exit 0':
        return [f'watch: the page ended with "{head}": {seen}']
    ended = seen.get('ended', '').split()
    if ended[:4] != ['2', str(game['score']), 'false', game['state']]:
        faults.append(f'watch: game 2 ended as {ended[:4]}, the verifier says score '
                      f"{game['score']}, state {game['state']}")
    if seen.get('header') != f"ASH \u2014 1st on {run['board']} \u2014 {game['score']}":
        faults.append(f'watch: the page says {seen.get("header")!r} of the run')
    if 'The run is over.' not in seen.get('line', '') or 'server checked' not in seen['line']:
        faults.append(f'watch: the page ends with {seen.get("line")!r}')
    # 26 s of the first game and the menus in fast forward, the 160 ticks of
    # 30 ms of the second at their pace.
    started, begun = int(seen.get('started', 0)), int(seen.get('begun', 0))
    played = int(ended[4]) - begun if len(ended) > 4 else 0
    if not 0 < begun - started < 20000 or played < 0.9 * game['ticks'] * 30:
        faults.append(f'watch: game 2 began {begun - started} ms into the replay and played '
                      f'in {played} ms')
    for asked, said in [('run=8', 'Run 8 was refused: a cheat key was down in the ranked game.'),
                        ('run=9', 'There is no run 9 on this server.')]:
        got = page.open(asked, path='play/')
        if got != f'watch-error {said}':
            faults.append(f'watch: ?{asked} says {got!r}')
    head, seen = parse_report(page.open('run=10', path='play/'))
    if head != 'watch-exit 2' or 'The replay stopped: ' not in seen.get('line', '') \
            or 'rules version 99' not in seen['line']:
        faults.append(f'watch: a run of other rules ends with "{head}", {seen.get("line")!r}')
    if not faults:
        print(f'web test: Watch replays game 2 to the verifier\'s end state; fast forward to it '
              f'in {begun - started} ms, {played} ms at its pace; errors in one line')
    return faults


@contextlib.contextmanager
def board_server(server_path, native, page_dir, prefix):
    """The real leaderboard server on a free port, serving the page under
    /play/ and verifying with the native build, in a folder of its own:
    (the folder, its address or None, the first line it said). Stopped and
    its folder removed on leaving."""
    work = tempfile.mkdtemp(prefix=prefix)
    server = subprocess.Popen(
        [os.path.abspath(server_path), '--port', '0', '--database', f'{work}/board.db',
         '--play', page_dir, '--verifier', os.path.abspath(native), '--workers', '1'],
        cwd=work, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
        start_new_session=True)
    try:
        first = server.stdout.readline().strip()
        started = first.startswith('listening on http://127.0.0.1:')
        yield work, first.removeprefix('listening on ') + '/' if started else None, first
    finally:
        os.killpg(server.pid, 15)
        server.wait(timeout=30)
        shutil.rmtree(work, ignore_errors=True)


def watch_on_the_server(native, server_path, page):
    """The real server ranks the kept two games by their second; its page
    shows the entry, and Watch, served by it, plays to the state it stored.
    The page's report goes to this test's own address."""
    import urllib.request
    with board_server(server_path, native, page.dir, 'morvek-board-') as (work, address, first):
        if address is None:
            return [f'server: it began with {first!r}']
        recording = ROOT / 'recordings' / 'two-games.txt'
        verified = json.loads(subprocess.run(
            [os.path.abspath(native), '--verify', str(recording)], check=True,
            capture_output=True, text=True, timeout=120).stdout)['games'][1]
        sent = urllib.request.Request(
            f"{address}api/v1/runs?name=ASH&game=2&score={verified['score']}",
            data=recording.read_bytes(), headers={'Content-Type': 'text/plain'})
        run_id = json.loads(urllib.request.urlopen(sent, timeout=30).read())['run']
        deadline = time.monotonic() + 120
        while True:
            run = json.loads(urllib.request.urlopen(f'{address}api/v1/runs/{run_id}',
                                                    timeout=30).read())
            if run['status'] != 'pending' or time.monotonic() > deadline:
                break
            time.sleep(0.5)
        if run['status'] != 'accepted':
            return [f'server: the kept two games were not ranked: {run}']
        dom = subprocess.run(['chromium', *CHROMIUM_FLAGS, '--dump-dom', address],
                             capture_output=True, text=True, timeout=PAGE_TIMEOUT_S).stdout
        faults = []
        if 'ASH' not in dom or f'/play/?run={run_id}' not in dom:
            faults.append('server: its page shows no entry of ASH with a Watch link')
        profile = tempfile.mkdtemp(prefix='morvek-chromium-', dir=work)
        url = f'{address}play/?run={run_id}&report={page.address}report'
        browser = subprocess.Popen(['chromium', *CHROMIUM_FLAGS, f'--user-data-dir={profile}', url],
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   start_new_session=True)
        try:
            head, seen = parse_report(page.reports.get(timeout=PAGE_TIMEOUT_S))
        except queue.Empty:
            head, seen = 'nothing', {}
        finally:
            os.killpg(browser.pid, 9)
            browser.wait()
        ended = seen.get('ended', '').split()
        if head != 'watch-exit 0' or ended[:4] != ['2', str(run['score']), 'false', run['state']]:
            faults.append(f'server: Watch ended with "{head}", game 2 as {ended[:4]}; the server '
                          f"stored score {run['score']}, state {run['state']}")
        if not faults:
            print(f"web test: the server ranked the kept games at {run['score']}, its page shows "
                  'them, and Watch plays them to the state it stored')
        return faults


def verified_score(native, recording, game):
    """The score the native verifier gives game `game` of the recording."""
    games = json.loads(subprocess.run([os.path.abspath(native), '--verify', str(recording)],
                                      check=True, capture_output=True, text=True,
                                      timeout=120).stdout)['games']
    return games[game - 1]['score'] if 0 < game <= len(games) else None


def sent_from_the_page(args, page):
    """A game played in the page, served under /play/ by the real server, is
    sent by the page and placed with the score the native verifier gives the
    page's own recording of it, and of the recording the server keeps."""
    import urllib.request
    with board_server(args.server, args.native, page.dir, 'morvek-sent-') as (work, address, first):
        if address is None:
            return [f'online: the server began with {first!r}']
        command = ['node', str(ROOT / 'web' / 'online_test.js'), '--executable',
                   shutil.which('chromium'), '--url', address + 'play/', '--out', work]
        if args.shots:
            os.makedirs(args.shots, exist_ok=True)
            command += ['--shots', args.shots]
        try:
            run = subprocess.run(command, env=dict(os.environ, NODE_PATH=args.puppeteer),
                                 capture_output=True, text=True, timeout=240)
        except subprocess.TimeoutExpired:
            return ['online: the page\'s sending was not done in 240 s']
        lines = run.stdout.splitlines()
        for line in lines:
            if not line.startswith('FAIL '):
                print('web test:', line)
        faults = [line.removeprefix('FAIL ') for line in lines if line.startswith('FAIL ')]
        if run.returncode != 0 and not faults:
            faults.append(f'online: the page\'s test failed: {run.stderr.strip()[-2000:]}')
        sent = pathlib.Path(work) / 'run.json'
        if not sent.exists():
            return faults or ['online: the page sent no run']
        placed = json.loads(sent.read_text())
        if placed.get('status') != 'accepted' or placed.get('name') != 'PAGE':
            return faults + [f'online: the page\'s run was not placed as PAGE: {placed}']
        game, score = placed['game'], placed['score']
        own = verified_score(args.native, pathlib.Path(work) / 'replay.txt', game)
        kept = pathlib.Path(work) / 'kept.txt'
        kept.write_bytes(urllib.request.urlopen(f"{address}api/v1/runs/{placed['run']}/recording",
                                                timeout=30).read())
        theirs = verified_score(args.native, kept, game)
        if own != score or theirs != score:
            faults.append(f'online: the server placed game {game} at {score}; the native verifier '
                          f'gives the page\'s replay {own}, the recording sent {theirs}')
        elif not faults:
            print(f'web test: the page sent its game {game} to its server, placed '
                  f"{placed.get('place')} at {score}, the native verifier's score of its replay")
        return faults


def page_size(folder):
    import gzip
    files = sorted(pathlib.Path(folder).iterdir())
    size = sum(f.stat().st_size for f in files)
    packed = sum(len(gzip.compress(f.read_bytes(), 9)) for f in files)
    return f'{size / 1e6:.2f} MB in {len(files)} files, {packed / 1e6:.2f} MB compressed'


def first_frame_ms(page):
    head, _ = parse_report(page.open('snap=200'))
    return float(head.split()[1])


def bench_against(args, page):
    """This page and another build of it, opened in turn: sizes and first menu frames."""
    other = Page(args.against)
    try:
        print(f'page:    {page_size(args.page)}')
        print(f'against: {page_size(args.against)}')
        mine, theirs = [], []
        for _ in range(3):
            theirs.append(first_frame_ms(other))
            mine.append(first_frame_ms(page))
        a, b = sorted(mine)[1], sorted(theirs)[1]
        print(f'first menu frame, median of 3 each: page {a:.0f} ms, against {b:.0f} ms '
              f'(x{a / b:.2f})')
    finally:
        other.close()


def two_visits(page):
    """A first and a second visit in one fresh profile: the reports of both."""
    profile = tempfile.mkdtemp(prefix='morvek-browser-')
    try:
        first = parse_report(page.open('snap=200', profile))
        second = parse_report(page.open('snap=200', profile))
    finally:
        shutil.rmtree(profile, ignore_errors=True)
    return first, second


def spread(values, unit=' ms'):
    """min and median, as the bench prints them."""
    ordered = sorted(values)
    return f'min {ordered[0]:.0f}{unit}, median {ordered[len(ordered) // 2]:.0f}{unit}'


def bench(args, page):
    """Download size and time to the first menu frame, the page against the native game.

    Each round is a first visit (pictures drawn) and a second (pictures
    kept) in a fresh profile; the first visit also says the longest the
    page's thread was held while it loaded: its longest task, as Chromium
    tells long tasks, and its longest gap between animation frames."""
    if args.against:
        bench_against(args, page)
        return
    print(f'page: {page_size(args.page)}')
    rounds = []
    for n in range(1, BENCH_ROUNDS + 1):
        (head, results), (second_head, second) = two_visits(page)
        first = {'ms': float(head.split()[1]), 'media': float(results.get('media-ms', 'nan')),
                 'task': float(results.get('longest-task-ms', 'nan').replace('unknown', 'nan')),
                 'gap': float(results.get('longest-gap-ms', 'nan')),
                 'second': float(second_head.split()[1])}
        rounds.append(first)
        print(f"round {n}: first visit {first['ms']:.0f} ms (pictures {results.get('media')} "
              f"in {first['media']:.0f} ms; the page held at most {first['task']:.0f} ms by a task, "
              f"{first['gap']:.0f} ms between frames), second visit {first['second']:.0f} ms "
              f"(pictures {second.get('media')})")
    print(f"first visit, first menu frame: {spread(r['ms'] for r in rounds)}; second visit: "
          f"{spread(r['second'] for r in rounds)}")
    print(f"first visit, the longest the page was held while loading: by a task "
          f"{spread(r['task'] for r in rounds)}, between frames {spread(r['gap'] for r in rounds)}")
    media = sorted(r['media'] for r in rounds)[len(rounds) // 2]
    first = sorted(r['ms'] for r in rounds)[len(rounds) // 2]
    native = pathlib.Path(args.native).resolve()
    with tempfile.TemporaryDirectory() as run:
        start = time.perf_counter()
        subprocess.run([str(native.parent / 'morvek-media'), '--out', f'{run}/Media'], check=True)
        drawn = time.perf_counter()
        (pathlib.Path(run) / 'first.txt').write_text('1 shot first.bmp\n')
        subprocess.run([str(native), '--headless', '--script', 'first.txt'], cwd=run, check=True)
        end = time.perf_counter()
    native_media, native_first = (drawn - start) * 1e3, (end - drawn) * 1e3
    print(f'pictures drawn: page {media:.0f} ms from opening, in its workers; native '
          f'{native_media:.0f} ms '
          f'(x{media / native_media:.1f})')
    print(f'first menu frame: page {first:.0f} ms from opening (pictures included), native '
          f'{native_media + native_first:.0f} ms (x{first / (native_media + native_first):.1f})')
    png = base64.b64decode(results.get('png', ',').split(',', 1)[1])
    if png:
        out = ROOT / 'build-web-obj' / 'first-frame.png'
        out.write_bytes(png)
        print(f'the first frame as the page shows it: {out}')


if __name__ == '__main__':
    main()
