// The scripts of a show: their figures, their commands as the player will
// take them, and a headless play of each to its end.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "fountains/emitter.h"
#include "fountains/figure.h"
#include "fountains/figure_set.h"
#include "fountains/particle_system.h"
#include "options/xml_read.h"
#include "scenario/action_script.h"
#include "tools/show_check/camera_views.h"
#include "tools/show_check/check_passes.h"
#include "tools/show_play/show_play.h"

namespace {

// Pools moved per frame times frames played: beyond it a script is played
// for less than the time limit (about four seconds of the checker's time).
const long long kPlayBudget = 4000000;
const int kFrameMs = 11;
// Particles are looked at every few frames: they move little in between.
const int kLookEvery = 4;
// A particle counts as out of the picture this far past an edge (in parts
// of the picture's size), so a drop grazing the edge is not reported.
const double kEdgeSlack = 0.02;
// A figure's jets leave the picture when more than this share of its
// visible drops are out of it at once: a few stray drops do not count.
const double kOutShare = 0.02;
// Falling drops fade; one this faint no longer shows.
const float kVisibleAlpha = 0.05f;

std::string Ms(double seconds) {
    char text[32];
    if (seconds >= 120)
        std::snprintf(text, sizeof text, "%.1f minutes", seconds / 60);
    else
        std::snprintf(text, sizeof text, "%.1f s", seconds);
    return text;
}

// ------------------------------------------------------------ figures

// The emitters a figure file gives the saver (0 when it cannot be read).
int EmittersOf(CheckContext& c, const std::string& name) {
    TiXmlDocument doc;
    if (name.empty() || !c.Parse(InFolder("_figures", name), &doc)) return 0;
    const TiXmlElement* root = doc.RootElement();
    if (!FirstChildNamed(root, "Formula")) return 0;
    return CountListFrom(FirstChildNamed(FirstChildNamed(root, "Egroup"), "Emmiter"));
}

void CheckFigureFile(CheckContext& c, const std::string& name) {
    if (!c.figuresChecked.insert(name).second) return;
    const std::string file = InFolder("_figures", name);
    TiXmlDocument doc;
    if (!c.Parse(file, &doc)) return;  // the saver's message has been told
    const TiXmlElement* root = doc.RootElement();
    c.CheckChildren(file, root, {"Formula", "Egroup"});
    const TiXmlElement* formula = FirstChildNamed(root, "Formula");
    const TiXmlElement* group = FirstChildNamed(root, "Egroup");
    c.CheckAttributes(file, "Formula", formula,
                      {{"fid", ATTR_INT},
                       {"count", ATTR_INT},
                       {"cx", ATTR_REAL},
                       {"cy", ATTR_REAL},
                       {"rx", ATTR_REAL},
                       {"ry", ATTR_REAL}});
    c.CheckAttributes(file, "Egroup", group, {{"id", ATTR_INT}});
    if (!formula) {
        c.Warn(file, "", "no <Formula>: without it the saver reads no emitters from the figure");
        return;
    }
    if (!group) {
        c.Warn(file, "", "no <Egroup>: the figure has no emitters");
        return;
    }
    const TiXmlElement* first = FirstChildNamed(group, "Emmiter");
    if (!first) {
        const TiXmlElement* other = group->FirstChildElement();
        c.Warn(file, "Egroup",
               std::string("no <Emmiter> element (spelled so)") +
                   (other ? std::string(", but <") + other->Value() + ">" : std::string()) +
                   ": the figure has no emitters");
        return;
    }
    c.CheckListNames(file, first, "Emmiter");
    int index = 0;
    for (const TiXmlElement* e = first; e; e = e->NextSiblingElement(), ++index)
        c.CheckAttributes(file, Numbered("Emmiter", index), e,
                          {{"id", ATTR_INT}, {"x", ATTR_REAL}, {"y", ATTR_REAL}, {"z", ATTR_REAL}});
    int count = -1;
    if (formula->Attribute("count") &&
        std::sscanf(formula->Attribute("count"), "%d", &count) == 1 && count != index)
        c.Warn(file, "Formula",
               "count=" + std::to_string(count) + " but the figure has " + std::to_string(index) +
                   " <Emmiter> elements: the elements are what counts");
}

// ------------------------------------------------------------ commands

// Looks at the commands in the order the player issues them.  Returns true
// when one of them keeps the script from ever playing out.
bool CheckCommands(CheckContext& c, const std::string& file, const CActionScript& s,
                   const std::vector<std::string>& figureFiles) {
    const int figures = s.figureSet ? s.figureSet->count : 0;
    bool stuck = false;
    // Jets a command left on a program that never ends (a sweep, or a type
    // the player does not know): they count as running for good.
    std::vector<std::vector<bool>> endless(figures);
    for (int g = 0; g < figures; ++g)
        endless[g].assign(s.figureSet->figures[g]->emitterCount, false);
    auto endlessCount = [&](int g) {
        return (int)std::count(endless[g].begin(), endless[g].end(), true);
    };
    auto figureName = [&](int g) {
        return "figure " + std::to_string(g) + " (" + figureFiles[g] + ")";
    };

    for (int i = 0; i < s.commandCount; ++i) {
        const CActionCommand& cmd = *s.commands[i];
        const std::string element = Numbered("Command", i);
        if (cmd.group < 0 || cmd.group >= figures) {
            c.Error(file, element,
                    "group " + std::to_string(cmd.group) + ", but the script uses " +
                        std::to_string(figures) + " figure" + (figures == 1 ? "" : "s") +
                        (figures > 0 ? " (0.." + std::to_string(figures - 1) + ")" : "") +
                        ": the script can never play out");
            stuck = true;
            continue;
        }
        const int n = s.figureSet->figures[cmd.group]->emitterCount;
        // As the player takes a range: below 0 is 0, then past the end is
        // the last emitter (-1 in a figure without any).
        auto clamp = [n](int v) {
            if (v < 0) v = 0;
            if (v > n - 1) v = n - 1;
            return v;
        };
        const int from = clamp(cmd.first), to = clamp(cmd.last);
        if (from == to) {
            std::string text = "first " + std::to_string(cmd.first) + " and last " +
                               std::to_string(cmd.last) + " on " + figureName(cmd.group) + " of " +
                               std::to_string(n) + " emitter" + (n == 1 ? "" : "s");
            if (n > 0) text += " (0.." + std::to_string(n - 1) + ")";
            text += ": an empty range, the command switches on no jet";
            if (n == 1)
                text += " (a range needs two different ends, so a one-emitter figure never sprays)";
            c.Warn(file, element, text);
        } else {
            for (int k = std::max(0, std::min(from, to)); k <= std::max(from, to) && k < n; ++k)
                endless[cmd.group][k] = cmd.EType != JET_SWING && cmd.EType != JET_ARC;
        }
        if (cmd.EType != JET_SWEEP && cmd.EType != JET_SWING && cmd.EType != JET_ARC)
            c.Warn(file, element,
                   "EType " + std::to_string(cmd.EType) +
                       " is none of 0 (sweep), 1 (swing), 2 (arc): its jets keep the velocity they "
                       "had and never stop");

        // The wait after this command: jets of its figure, then of the next
        // command's, must come down to nextAfter.
        const int wait = cmd.nextAfter;
        if (wait == -1) continue;
        if (wait < -1) {
            c.Error(file, element,
                    "nextAfter " + std::to_string(wait) +
                        " can never be met (no fewer than 0 jets can run; -1 means no wait): the "
                        "script can never play out");
            stuck = true;
            continue;
        }
        std::vector<int> waitFor = {cmd.group};
        if (i + 1 < s.commandCount) {
            const int next = s.commands[i + 1]->group;
            if (next >= 0 && next < figures && next != cmd.group) waitFor.push_back(next);
        }
        for (int g : waitFor) {
            const int running = endlessCount(g);
            if (running <= wait) continue;
            c.Error(file, element,
                    "nextAfter " + std::to_string(wait) + " can never be met: " +
                        std::to_string(running) + " jets of " + figureName(g) +
                        " run a sweep (EType 0) or an unknown program by then, which never ends; "
                        "the script can never play out");
            stuck = true;
            break;
        }
    }
    return stuck;
}

// ------------------------------------------------------------ playing

struct EdgeTally {
    double share = 0;             // largest share of a figure's drops past the edge at once
    std::vector<std::string> at;  // the screen shapes where it is over kOutShare
};

struct PlayOutcome {
    int frames = 0;
    double endSeconds = -1;    // when the last command was passed
    double pauseSeconds = -1;  // when every drop had fallen after that
    bool cutShort = false;     // stopped by the checker's budget
    bool sweepsRunning = false;
    // figure -> edge name -> tally
    std::map<int, std::map<std::string, EdgeTally>> edges;
};

enum { EDGE_LEFT, EDGE_RIGHT, EDGE_TOP, EDGE_BOTTOM, EDGE_NEAR, EDGES };
const char* const kEdgeNames[EDGES] = {"left side", "right side", "top", "bottom",
                                       "front (behind the camera)"};

// Where the visible drops of each figure are in each preset's picture now.
void LookAtDrops(const CActionScript& script, const std::vector<CameraView>& views,
                 PlayOutcome* o) {
    const double s = 1 + 2 * kEdgeSlack;
    for (int g = 0; g < script.figureSet->count; ++g) {
        const CFigure* f = script.figureSet->figures[g];
        int visible = 0;
        std::vector<std::array<int, EDGES>> out(views.size());
        for (auto& counts : out) counts.fill(0);
        for (int k = 0; k < f->emitterCount; ++k) {
            const CParticleSystem* ps = f->particleSystems[k];
            for (int p = 0; p < ps->count; ++p) {
                const CParticle& q = ps->particles[p];
                if (!q.live || q.a < kVisibleAlpha) continue;
                ++visible;
                for (size_t v = 0; v < views.size(); ++v) {
                    double px, py;
                    if (!views[v].Place(q.x, q.y, q.z, &px, &py)) {
                        ++out[v][EDGE_NEAR];
                        continue;
                    }
                    if (px < -s) ++out[v][EDGE_LEFT];
                    if (px > s) ++out[v][EDGE_RIGHT];
                    if (py > s) ++out[v][EDGE_TOP];
                    if (py < -s) ++out[v][EDGE_BOTTOM];
                }
            }
        }
        if (visible == 0) continue;
        for (size_t v = 0; v < views.size(); ++v)
            for (int e = 0; e < EDGES; ++e) {
                if (out[v][e] == 0) continue;
                const double share = (double)out[v][e] / visible;
                EdgeTally& t = o->edges[g][kEdgeNames[e]];
                t.share = std::max(t.share, share);
                if (share > kOutShare &&
                    std::find(t.at.begin(), t.at.end(), views[v].name) == t.at.end())
                    t.at.push_back(views[v].name);
            }
    }
}

PlayOutcome Play(CheckContext& c, CActionScript& script) {
    PlayOutcome o;
    std::vector<CameraView> views = StageCameraViews();
    if (!c.settings.allScreenShapes)
        views.erase(std::remove_if(views.begin(), views.end(),
                                   [](const CameraView& v) { return v.aspect < 1.5; }),
                    views.end());
    long long pools = 0;
    for (int g = 0; g < script.figureSet->count; ++g)
        pools += script.figureSet->figures[g]->emitterCount;
    long long frames = (long long)c.settings.playSeconds * 1000 / kFrameMs;
    if (pools > 0 && pools * frames > kPlayBudget) {
        frames = kPlayBudget / pools;
        o.cutShort = true;
    }
    script.SetEmitterColor(200, 230, 255, 110);
    PlayOptions options;
    options.startTick = 1000000;
    options.step = kFrameMs;
    options.firstFrame = 1;
    options.frames = (int)frames;
    const PlaySummary played = PlayScript(script, c.platform, options, [&](const PlayedFrame& f) {
        if (f.frame % kLookEvery == 0) LookAtDrops(script, views, &o);
        return !f.paused;
    });
    o.frames = played.frames;
    if (played.endFrame >= 0) o.endSeconds = played.endFrame * kFrameMs / 1000.0;
    if (played.pauseFrame >= 0) o.pauseSeconds = played.pauseFrame * kFrameMs / 1000.0;
    for (int g = 0; g < script.figureSet->count; ++g) {
        const CFigure* f = script.figureSet->figures[g];
        for (int k = 0; k < f->emitterCount; ++k)
            if (f->emitters[k]->IsActive() && f->emitters[k]->EType == JET_SWEEP)
                o.sweepsRunning = true;
    }
    return o;
}

void ReportPlay(CheckContext& c, const std::string& file, const PlayOutcome& o, bool stuck,
                const std::vector<std::string>& figureFiles) {
    const double played = o.frames * kFrameMs / 1000.0;
    const std::string limit = Ms(c.settings.playSeconds);
    if (o.pauseSeconds < 0) {
        if (o.cutShort) {
            c.Warn(file, "",
                   "too large for the checker to play for " + limit + ": played " + Ms(played) +
                       " without reaching its end");
        } else if (o.endSeconds < 0) {
            if (!stuck)
                c.Error(file, "",
                        "does not play out within " + limit +
                            " (played headless at 11 ms a frame): its scene never changes");
        } else {
            c.Error(
                file, "",
                "passes its last command after " + Ms(o.endSeconds) +
                    ", but its jets still spray " + limit + " in" +
                    (o.sweepsRunning ? " (a sweep, EType 0, sprays for good once started)" : "") +
                    ": its scene never changes");
        }
    }
    for (const auto& figure : o.edges) {
        for (const auto& edge : figure.second) {
            if (edge.second.at.empty()) continue;
            std::string at;
            for (size_t i = 0; i < edge.second.at.size(); ++i)
                at += (i == 0                           ? ""
                       : i + 1 == edge.second.at.size() ? " and "
                                                        : ", ") +
                      edge.second.at[i];
            char by[80];
            std::snprintf(by, sizeof by, " (up to %.0f%% of its drops at once)",
                          edge.second.share * 100);
            c.Warn(
                file,
                "Figure " + std::to_string(figure.first + 1) + " (" + figureFiles[figure.first] +
                    ")",
                "jets leave the " + edge.first + " of the picture the camera shows at " + at + by);
        }
    }
}

}  // namespace

void CheckScript(CheckContext& c, const std::string& action, std::set<std::string>* figuresUsed) {
    const std::string file = InFolder("_scripts", action);
    TiXmlDocument doc;
    const bool parsed = c.Parse(file, &doc);
    std::vector<std::string> figureFiles;
    const TiXmlElement* root = parsed ? doc.RootElement() : nullptr;
    const TiXmlElement* firstFigure = FirstChildNamed(FirstChildNamed(root, "Uses"), "Figure");
    long long emitters = 0;
    for (const TiXmlElement* e = firstFigure; e; e = e->NextSiblingElement()) {
        const char* name = e->Attribute("file");
        figureFiles.push_back(name ? name : "");
        if (name) figuresUsed->insert(name);
        emitters += EmittersOf(c, figureFiles.back());
    }
    if (emitters > kMostEmittersLoaded) {
        c.Error(
            file, "",
            "its figures have " + std::to_string(emitters) + " emitters: the saver would need " +
                std::to_string(emitters * PARTICLES_PER_POOL * (long long)sizeof(CParticle) >> 20) +
                " MB for their drops; not loaded");
        return;
    }

    CActionScript script;
    script.Load(action.c_str());
    c.TakeBoxes(file);
    if (!parsed) return;

    c.CheckChildren(file, root, {"Uses", "ActionScript"});
    c.CheckListNames(file, firstFigure, "Figure");
    int index = 0;
    for (const TiXmlElement* e = firstFigure; e; e = e->NextSiblingElement(), ++index) {
        c.CheckAttributes(
            file, Numbered("Figure", index), e,
            {{"figureId", ATTR_INT}, {"file", ATTR_TEXT}, {"dx", ATTR_REAL}, {"dy", ATTR_REAL}});
        if (!figureFiles[index].empty()) CheckFigureFile(c, figureFiles[index]);
    }
    const TiXmlElement* firstCommand =
        FirstChildNamed(FirstChildNamed(root, "ActionScript"), "Command");
    c.CheckListNames(file, firstCommand, "Command");
    index = 0;
    for (const TiXmlElement* e = firstCommand; e; e = e->NextSiblingElement(), ++index)
        c.CheckAttributes(file, Numbered("Command", index), e,
                          {{"group", ATTR_INT},     {"first", ATTR_INT},    {"last", ATTR_INT},
                           {"delayBS", ATTR_INT},   {"tShift", ATTR_INT},   {"effTime", ATTR_INT},
                           {"effTimeD", ATTR_INT},  {"cycles", ATTR_INT},   {"stop", ATTR_INT},
                           {"vx1", ATTR_REAL},      {"vy1", ATTR_REAL},     {"vz1", ATTR_REAL},
                           {"vx2", ATTR_REAL},      {"vy2", ATTR_REAL},     {"vz2", ATTR_REAL},
                           {"nextAfter", ATTR_INT}, {"centerX", ATTR_REAL}, {"centerY", ATTR_REAL},
                           {"Angle1", ATTR_REAL},   {"Angle2", ATTR_REAL},  {"YPowerK", ATTR_REAL},
                           {"Power", ATTR_REAL},    {"EType", ATTR_INT},    {"id", ATTR_INT}});

    const int figures = script.figureSet ? script.figureSet->count : 0;
    if (figures == 0 || script.commandCount == 0) {
        c.Warn(file, "",
               std::string(figures == 0 ? "no figures (<Uses> with <Figure> entries)"
                                        : "no commands (<ActionScript> with <Command> entries)") +
                   ": the script plays out at once, and its scene shows for the pause of about a "
                   "second");
        return;
    }
    figureFiles.resize(figures);
    const bool stuck = CheckCommands(c, file, script, figureFiles);
    const PlayOutcome outcome = Play(c, script);
    ReportPlay(c, file, outcome, stuck, figureFiles);
}
