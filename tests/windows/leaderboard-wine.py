#!/usr/bin/env python3
"""The Windows build's games on the leaderboard, under Wine.

morvek.exe plays a recording headless against the native morvek-server on
127.0.0.1, from a folder whose name has a space and accents; the server
must rank each game at exactly the score the native verifier gives, and
the recording the Windows build wrote must be the native build's, byte for
byte, and verify natively (and under Wine) to the same games. Then WinHTTP
against a stand-in server that fails: a 500, a redirect to another address,
an answer that never comes. The runs stay in the outbox, the redirect is not
followed, and the game exits 0 without waiting on the network.

Wine's prefix and debug settings come from the environment (the Makefile's
windows-test). Every process has a hard limit; only 127.0.0.1 is used.
usage: leaderboard-wine.py --wine WINE --exe morvek.exe --native morvek
                           --server morvek-server --recording FILE
"""
import argparse
import http.server
import json
import pathlib
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import urllib.error
import urllib.request

NAME = 'WINE'
# Ends the game from its menu at once
END_SCRIPT = '100 mouse move 175 575\n200 mouse down left\n260 mouse up left\n'
# A game's run under Wine takes a few seconds; this is the point at which
# it is taken as hung.
GAME_LIMIT_S = 90


def fail(message, logs=()):
    for log in logs:
        if log.exists():
            print(f'--- {log.name}:\n{log.read_text(errors="replace")[-3000:]}', file=sys.stderr)
    print(f'leaderboard under Wine: {message}', file=sys.stderr)
    sys.exit(1)


def verified(native, recording):
    """The native verifier's games of a recording."""
    out = subprocess.run([native, '--verify', str(recording)], capture_output=True, text=True,
                         timeout=120)
    if out.returncode != 0:
        fail(f'the native verifier refused {recording.name} ({out.returncode}): {out.stderr}')
    return json.loads(out.stdout)


def play(args, folder, recording, address, script):
    """morvek.exe plays `script` headless, recording into `recording` and
    sending to `address`; its exit status and what it said on stderr."""
    (folder / 's.ini').write_text(f'player-name = {NAME}\n')
    with open(folder / 'err.txt', 'w') as err:
        # KILL, as the launcher's children would outlive a gentler end
        rc = subprocess.run(['timeout', '-s', 'KILL', str(GAME_LIMIT_S), args.wine, args.exe,
                             '--headless', '--script', str(script), '--record', str(recording),
                             '--settings', 's.ini', '--leaderboard', address],
                            cwd=folder, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=err).returncode
    return rc, (folder / 'err.txt').read_text(errors='replace')


def outbox(folder):
    """The claims waiting in a game's outbox, by game: {game: {key: value}}."""
    claims = {}
    for run in sorted((folder / 'outbox').glob('*.run')):
        fields = dict(line.split(' = ', 1) for line in run.read_text().splitlines()
                      if ' = ' in line and not line.startswith('#'))
        fields['recording'] = run.with_suffix('.txt')
        claims[int(fields['game'])] = fields
    return claims


def get(url):
    with urllib.request.urlopen(url, timeout=30) as answer:
        return json.loads(answer.read())


def ranked_on_the_server(args, work, games):
    """The games played under Wine as the real server ranks them."""
    folder = work / 'José Müller'
    folder.mkdir()
    log = work / 'server.log'
    with open(log, 'w') as err:
        server = subprocess.Popen(
            ['timeout', '-s', 'KILL', '300', args.server, '--port', '0', '--database',
             str(work / 'board.db'), '--verifier', args.native, '--workers', '1', '--play',
             str(work)], cwd=work, stdout=subprocess.PIPE, stderr=err, text=True)
    try:
        first = server.stdout.readline().strip()
        if not first.startswith('listening on http://127.0.0.1:'):
            fail(f'the server began with {first!r}', [log])
        address = first.removeprefix('listening on ')
        recording = folder / 'rec.txt'
        rc, said = play(args, folder, recording, address, args.recording)
        if rc != 0:
            fail(f'morvek.exe exited with {rc}: {said}')
        # A run gives a send under way up to 2 s at its end; a short second
        # run sends what a slow machine left waiting.
        if any(c.get('stage') == 'new' for c in outbox(folder).values()):
            (folder / 'end.txt').write_text(END_SCRIPT)
            rc, said = play(args, folder, folder / 'rec2.txt', address, folder / 'end.txt')
            if rc != 0:
                fail(f'the second run of morvek.exe exited with {rc}: {said}')
        left = outbox(folder)
        if any(c.get('stage') == 'new' for c in left.values()):
            fail(f'runs were left unsent in the outbox: {left}: {said}')
        # The server's first runs are these games: a game that already
        # learnt its run was accepted has taken it out of its outbox.
        runs = {}
        for number in range(1, len(games) + 1):
            deadline = time.monotonic() + 120
            while True:
                try:
                    run = get(f'{address}/api/v1/runs/{number}')
                except urllib.error.HTTPError as e:
                    fail(f'the server has no run {number} ({e.code}) of {len(games)} games; the '
                         f'outbox holds {left}: {said}', [log])
                if run['status'] != 'pending' or time.monotonic() > deadline:
                    break
                time.sleep(0.2)
            runs[run.get('game')] = run
        scores = []
        for game in games:
            run = runs.get(game['game'], {})
            if run.get('status') != 'accepted' or run.get('name') != NAME or \
                    run.get('claimed') != game['score'] or run.get('score') != game['score'] or \
                    run.get('state') != game['state']:
                fail(f'game {game["game"]} should be claimed and ranked at {game["score"]}, '
                     f'ending in {game["state"]}; the server says {runs}', [log])
            if game['game'] in left and left[game['game']].get('run') != str(run['run']):
                fail(f'the outbox knows game {game["game"]} as {left[game["game"]]}, the '
                     f'server as run {run["run"]}')
            scores.append(run['score'])
        board = get(f'{address}/api/v1/boards/{games[0]["difficulty"]}-{games[0]["speed"]}'
                    f'?rules={run["rules"]}')
        shown = sorted((e['run'], e['score']) for e in board['entries'] if e['name'] == NAME)
        wanted = sorted((runs[g['game']]['run'], g['score']) for g in games)
        if shown != wanted:
            fail(f'the board shows {shown} of {NAME}, not {wanted}: {board}')
        return recording, scores
    finally:
        server.terminate()  # timeout hands it on to the server
        server.wait(timeout=30)


class Faulty(http.server.BaseHTTPRequestHandler):
    """Answers as `server.mode` says, and keeps what it was asked."""

    def do_POST(self):
        body = self.rfile.read(int(self.headers.get('Content-Length', 0)))
        self.server.asked.append((self.path, self.headers.get('Content-Type'), body))
        if self.server.mode == 'slow':
            self.server.released.wait(60)
            return
        if self.server.mode == 'redirect':
            self.send_response(302)
            self.send_header('Location', f'{self.server.elsewhere}/api/v1/runs')
        else:
            self.send_response(500)
        answer = b'{"error": "internal", "reason": "it went wrong"}'
        self.send_header('Content-Type', 'application/json')
        self.send_header('Content-Length', str(len(answer)))
        self.end_headers()
        self.wfile.write(answer)

    do_GET = do_POST

    def log_message(self, *_):
        pass


def serve(mode, elsewhere=''):
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Faulty)
    server.daemon_threads = True
    server.mode, server.elsewhere, server.asked = mode, elsewhere, []
    server.released = threading.Event()
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def failures_keep_the_runs(args, work, games):
    """WinHTTP's failures, each in a run of its own: what was asked, what the
    game said, and that its runs stay; the time each run of the game took."""
    # Where the redirect points: another address, which must never be asked
    elsewhere = serve('error')
    took = {}
    try:
        for mode, said_wanted in [('error', 'it answered HTTP 500'),
                                  ('redirect', 'redirected (HTTP 302) to '
                                               f'http://127.0.0.1:{elsewhere.server_port}/'),
                                  ('slow', None)]:
            fake = serve(mode, f'http://127.0.0.1:{elsewhere.server_port}')
            folder = work / mode
            folder.mkdir()
            try:
                started = time.monotonic()
                rc, said = play(args, folder, folder / 'rec.txt',
                                f'http://127.0.0.1:{fake.server_port}', args.recording)
                took[mode] = time.monotonic() - started
            finally:
                fake.released.set()
                fake.shutdown()
            if elsewhere.asked:
                fail(f'{mode}: the redirect was followed: {elsewhere.asked}')
            if rc != 0:
                fail(f'{mode}: morvek.exe exited with {rc}{" (hung)" if rc == 137 else ""}: '
                     f'{said}')
            # A failed send waits 30 s before the next, longer than the run
            if len(fake.asked) != 1:
                fail(f'{mode}: the server was asked {len(fake.asked)} times: {fake.asked}')
            path, kind, body = fake.asked[0]
            first = games[0]
            if path != f'/api/v1/runs?name={NAME}&game={first["game"]}&score={first["score"]}' \
                    or kind != 'text/plain':
                fail(f'{mode}: the game sent {path} as {kind}')
            claims = outbox(folder)
            if sorted(claims) != [g['game'] for g in games] or \
                    any(c.get('stage') != 'new' or not c['recording'].exists()
                        for c in claims.values()):
                fail(f'{mode}: the outbox holds {claims} after the run')
            if body != claims[first['game']]['recording'].read_bytes():
                fail(f'{mode}: the body sent is not the recording kept in the outbox')
            if said_wanted is not None and said_wanted not in said:
                fail(f'{mode}: the game said {said!r}, not {said_wanted!r}')
    finally:
        elsewhere.shutdown()
    return took


def main():
    parser = argparse.ArgumentParser()
    for option in ['--wine', '--exe', '--native', '--server', '--recording']:
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    for option in ['exe', 'native', 'server', 'recording']:
        setattr(args, option, str(pathlib.Path(getattr(args, option)).resolve()))
    started = time.monotonic()
    work = pathlib.Path(tempfile.mkdtemp(prefix='morvek-wine-board-'))
    try:
        games = verified(args.native, pathlib.Path(args.recording))['games']
        recording, scores = ranked_on_the_server(args, work, games)
        ranked = time.monotonic() - started
        # The Windows build's recording: the native build's bytes, and the
        # same games replayed natively and by itself
        native = work / 'native'
        native.mkdir()
        subprocess.run([args.native, '--headless', '--script', args.recording, '--record',
                        'rec.txt'], cwd=native, check=True, timeout=120,
                       stdout=subprocess.DEVNULL)
        if recording.read_bytes() != (native / 'rec.txt').read_bytes():
            fail('the recording made under Wine differs from the native one of the same script')
        again = verified(args.native, recording)['games']
        if again != games:
            fail(f'the recording made under Wine verifies natively to {again}, not {games}')
        out = subprocess.run(['timeout', '-s', 'KILL', str(GAME_LIMIT_S), args.wine, args.exe,
                              '--verify', str(recording)], capture_output=True, text=True)
        if out.returncode != 0 or json.loads(out.stdout)['games'] != games:
            fail(f'morvek.exe --verify of its own recording says ({out.returncode}) '
                 f'{out.stdout} {out.stderr}')
        took = failures_keep_the_runs(args, work, games)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f'leaderboard under Wine: games ranked at {scores}, the native verifier\'s scores and '
          f'states, in {ranked:.1f} s; the Windows recording is the native one, byte for byte, '
          'and verifies the same natively and under Wine; a 500, a redirect (not followed) '
          f'and a silent server keep the runs, the game ending in {took["error"]:.1f}, '
          f'{took["redirect"]:.1f} and {took["slow"]:.1f} s; '
          f'{time.monotonic() - started:.0f} s in all')


if __name__ == '__main__':
    main()
