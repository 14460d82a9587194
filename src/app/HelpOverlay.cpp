#include "app/HelpOverlay.h"

namespace app {

const std::vector<std::string>& helpOverlayLines() {
    // Key and description are parted by two blanks.
    static const std::vector<std::string> lines = {
        "building:",
        "click  select the cell pointed at",
        "shift+click  place the piece there",
        "right click  place it there too",
        "palette click  choose the piece",
        "PG_UP, PG_DWN  more pieces",
        "ENTER  place it on the selection",
        "h, k, wheel  turn the ghost (y axis)",
        "SPACE  select the top klotz",
        "BACKSPACE  delete the selected klotz",
        "ARROWS  move selection / klotz",
        "h, k  turn it about the y axis",
        "z, i  tip it: axis you look along",
        "u, j  tip it: axis to your right",
        "o  set / unset a ball start",
        "ctrl+z, ctrl+y  undo, redo",
        "ctrl+c, ctrl+v  copy, paste a stack",
        "",
        "running:",
        "l  start / stop the run",
        "p  pause",
        "n, b  step on / back when paused",
        "+, -  faster / slower",
        "SPACE  shoot a ball from the camera",
        "0-9  ride on a ball",
        "g  run statistics",
        "x, t  sparks on, next ball",
        "",
        "camera:",
        "drag  look around",
        "w, a, s, d  move",
        "r, f  up, down",
        "q, e  zoom out, in",
        "m, F2  wireframe, smooth shading",
        "",
        "files:",
        "middle button  menu: save, load...",
        "ctrl+s  save to the last file",
        "F5-F8  load a demo",
        "y  sound on / off",
        "F1, esc  close this help",
        "",
    };
    return lines;
}

}  // namespace app
