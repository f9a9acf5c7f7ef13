#include "Page.h"

#include "Sha256.h"

#include <ctime>

namespace Server::Page {

namespace {

constexpr const char* kStyle = R"(
body{font-family:sans-serif;background:#10121a;color:#e8e8f0;margin:2em auto;max-width:70em;padding:0 1em}
a{color:#8cf}h1{margin-bottom:.2em}.boards{display:flex;flex-wrap:wrap;gap:1.5em}
table{border-collapse:collapse;min-width:20em}th,td{padding:.2em .6em;text-align:left}
td.n{text-align:right}tr:nth-child(even){background:#1a1d29}caption{font-weight:bold;text-align:left;padding:.3em 0}
form{margin-top:2em;padding:1em;background:#1a1d29}label{margin-right:1em}#state{font-weight:bold}
)";

// Follows a run submitted from the form until it has its result.
constexpr const char* kScript = R"(
const form = document.getElementById('submit');
const state = document.getElementById('state');
form.addEventListener('submit', async (e) => {
  e.preventDefault();
  const file = form.elements.recording.files[0];
  if (!file) { state.textContent = 'Choose a recording first.'; return; }
  const q = new URLSearchParams({name: form.elements.player.value, score: form.elements.score.value});
  if (form.elements.game.value) q.set('game', form.elements.game.value);
  state.textContent = 'Sending...';
  let answer;
  try {
    const r = await fetch('/api/v1/runs?' + q, {method: 'POST', headers: {'Content-Type': 'text/plain'}, body: file});
    answer = await r.json();
    if (!r.ok) { state.textContent = 'Refused: ' + answer.reason; return; }
  } catch (err) { state.textContent = 'Could not send: ' + err; return; }
  const id = answer.run;
  for (;;) {
    const r = await fetch('/api/v1/runs/' + id);
    const run = await r.json();
    if (run.status === 'accepted') {
      state.innerHTML = '';
      state.append('Run ' + id + ' accepted' + (run.place ? ', place ' + run.place + ' on ' + run.board : '') + '. ');
      const a = document.createElement('a'); a.href = '/runs/' + id; a.textContent = 'See it';
      state.append(a);
      return;
    }
    if (run.status === 'refused') { state.textContent = 'Run ' + id + ' refused: ' + run.reason; return; }
    state.textContent = 'Run ' + id + ': replaying it to check the score...';
    await new Promise((done) => setTimeout(done, 1000));
  }
});
)";

std::string Head(std::string_view title, bool refresh) {
    return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
           "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">" +
           std::string(refresh ? "<meta http-equiv=\"refresh\" content=\"2\">" : "") + "<title>" +
           Escape(title) + "</title><style>" + kStyle + "</style></head><body>\n";
}

std::string WatchLink(std::int64_t run) {
    return "<a href=\"/play/?run=" + std::to_string(run) + "\">Watch</a>";
}

} // namespace

const char* const kPolicy = [] {
    static const std::string policy =
        "default-src 'none'; style-src 'unsafe-inline'; connect-src 'self'; "
        "form-action 'self'; script-src 'sha256-" +
        Sha256Base64(kScript) + "'";
    return policy.c_str();
}();

std::string Escape(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Date(std::int64_t unixSeconds) {
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y-%m-%d", &tm);
    return buf;
}

std::string Index(std::int64_t rules, const std::vector<Shown>& boards, bool playAvailable) {
    std::string html = Head("Morvek leaderboard", false);
    html += "<h1>Morvek leaderboard</h1>\n<p>Every entry was replayed by this server from its "
            "recording and reached exactly its score.";
    html += rules > 0 ? " Rules version " + std::to_string(rules) + "." : " No run ranked yet.";
    if (!playAvailable) {
        html += " (Watch needs the browser build, which this server has not got.)";
    }
    html += "</p>\n<div class=\"boards\">\n";
    for (const auto& shown : boards) {
        html += "<table><caption>" + Escape(shown.board.difficulty) + ", " +
                Escape(shown.board.speed) + " <small>(<a href=\"/api/v1/boards/" +
                Escape(shown.board.Name()) + (rules > 0 ? "?rules=" + std::to_string(rules) : "") +
                "\">all</a>)</small></caption>\n<tr><th>#</th><th>Name</th><th>Score</th>"
                "<th>Won</th><th>Date</th><th></th></tr>\n";
        if (shown.entries.empty()) {
            html += "<tr><td colspan=\"6\">No entries yet</td></tr>\n";
        }
        for (const auto& e : shown.entries) {
            html += "<tr><td class=\"n\">" + std::to_string(e.place) + "</td><td>" +
                    Escape(e.name) + "</td><td class=\"n\">" + std::to_string(e.score) +
                    "</td><td>" + (e.won ? "yes" : "no") + "</td><td>" + Date(e.date) +
                    "</td><td>" + WatchLink(e.run) + "</td></tr>\n";
        }
        html += "</table>\n";
    }
    html += R"(</div>
<form id="submit" method="post" action="/submit" enctype="multipart/form-data">
<h2>Submit a game</h2>
<p>A recording made with <code>morvek --record FILE</code>. It is replayed here, and ranked only at the exact score it reaches.</p>
<label>Recording <input type="file" name="recording" required></label>
<label>Name <input name="player" maxlength="7" pattern="[A-Za-z]{1,7}" required size="8"></label>
<label>Score <input name="score" inputmode="numeric" pattern="[0-9]+" required size="8"></label>
<label>Game <input name="game" inputmode="numeric" pattern="[0-9]*" size="3" placeholder="last"></label>
<button>Submit</button>
<p id="state" aria-live="polite"></p>
</form>
<script>)";
    html += kScript;
    html += "</script>\n</body></html>\n";
    return html;
}

std::string RunPage(const Run& run, std::int64_t place) {
    const bool pending = run.status == "pending";
    std::string html = Head("Morvek run " + std::to_string(run.id), pending);
    html += "<h1>Run " + std::to_string(run.id) + "</h1>\n<p>" + Escape(run.name) +
            ", claimed score " + std::to_string(run.claimed) + ", sent " + Date(run.submitted) +
            ".</p>\n<p id=\"state\">";
    if (pending) {
        html += "Waiting for its replay (this page looks again every two seconds).";
    } else if (run.status == "accepted") {
        html += "Accepted: game " + std::to_string(run.outcome.game) + ", " +
                Escape(run.outcome.difficulty) + " " + Escape(run.outcome.speed) + ", score " +
                std::to_string(run.outcome.score) + (run.outcome.won ? ", won" : "") + ".";
        if (run.hidden) {
            html += " Taken off the boards: " + Escape(run.hiddenReason);
        } else if (place > 0) {
            html += " Place " + std::to_string(place) + ".";
        }
        html += " " + WatchLink(run.id);
    } else {
        html += "Refused (" + Escape(run.outcome.code) + "): " + Escape(run.outcome.reason);
    }
    html += "</p>\n<p><a href=\"/api/v1/runs/" + std::to_string(run.id) +
            "/recording\">The recording</a> &middot; <a href=\"/\">The "
            "boards</a></p>\n</body></html>\n";
    return html;
}

} // namespace Server::Page
