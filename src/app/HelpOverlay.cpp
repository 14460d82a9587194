#include "app/HelpOverlay.h"

namespace app {

const std::vector<std::string>& helpOverlayLines() {
    static const std::vector<std::string> lines = {
        "building:",
        "click            select the cell under the pointer",
        "shift+click, right click   place the piece there",
        "ENTER            place the piece on the selected cell",
        "palette click    choose the piece (PG_UP/PG_DWN: more)",
        "h / k, wheel     turn the ghost about the vertical",
        "SPACE            select / unselect the top klotz",
        "BACKSPACE        delete the selected klotz",
        "ARROWS           move the selection / selected klotz",
        "h / k            turn selected klotz about vertical (y)",
        "z / i            tip it about the axis you look along",
        "u / j            tip it about the axis to your right",
        "o                set / unset a ball start",
        "ctrl+z / ctrl+y  undo / redo",
        "ctrl+c / ctrl+v  copy / paste the cell's stack",
        "",
        "running:",
        "l                start / stop the run",
        "p                pause;  n / b  step forward / back",
        "+ / -            faster / slower",
        "SPACE            shoot a ball from the camera",
        "0-9              ride on a ball;  g  run statistics",
        "x / t            sparks on a ball start / next ball",
        "",
        "camera:",
        "drag (left/right)  look around",
        "w a s d          move;  r / f  up / down",
        "q / e            zoom out / in",
        "m  wireframe;  F2  smooth shading",
        "",
        "files:",
        "middle button    menu: save, load, clear",
        "ctrl+s           save to the last file",
        "F5-F8            load a demo;  y  sound on / off",
        "F1 / esc         close this help;  esc  exit",
        "",
    };
    return lines;
}

}  // namespace app
