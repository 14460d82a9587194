#include "app/Help.h"

#include <ostream>

namespace app {

void printHelp(std::ostream& out) {
    out << "\n\ntumbalon 1.0b\n"
        << "=============\n"
        << "esc:\t\t exit (!!use this instead of closing the window!!)\n"
        << "l:\t\t start/stop simulation\n"
        << "p:\t\t pause simulation\n"
        << "m:\t\t toggle wireframe\n"
        << "ENTER:\t\t insert klotz\n"
        << "SPACE:\t\t select/unselect klotz. shoot ball during simulation.\n"
        << "BACKSPACE:\t delete selected klotz\n"
        << "ARROWS:\t\t move selected grid-cell/klotz\n"
        << "z,u,i,h,j,k:\t rotate/roll selected klotz\n"
        << "o:\t\t set/unset current cell as ball-starting-point\n"
        << "0-9:\t\t toggle camera following ball specified\n"
        << "x:\t\t toggle particle system in build mode\n"
        << "t:\t\t move particle system to next ball\n"
        << "w,a,s,d,r,f:\t translate camera\n"
        << "q,e:\t\t zoom camera\n"
        << "LR-mousemotion:  lookaround\n"
        << "PG_UP,PG_DWN:\t switch to previous/next klotz-row\n"
        << "M-mouseclick:\t open pop-up-menu\n"
        << "F2:\t\t toggle smooth shading\n"
        << "F1:\t\t help\n"
        << "F5-F8:\t\t load a demo alley"
        << "\n\n"
        // Keys added since 1.0b, in the same style.
        << "CTRL+Z:\t\t undo last change\n"
        << "CTRL+Y:\t\t redo\n"
        << "CTRL+C:\t\t copy the selected cell's stack\n"
        << "CTRL+V:\t\t paste it on top of the selected cell's stack\n"
        << "CTRL+S:\t\t save to the file last saved or loaded\n"
        << "L-mouseclick:\t select the grid-cell under the pointer\n"
        << "SHIFT+L-,R-click: insert klotz at the pointer\n"
        << "wheel,h,k:\t turn the next klotz (ghost) before inserting\n"
        << "+,-:\t\t faster/slower playback during simulation\n"
        << "n:\t\t one step forward while paused\n"
        << "b:\t\t one step back while paused (hold to rewind, faster the longer)\n"
        << "SHIFT+B:\t back to the start of the run (pauses it)\n"
        << "HOME:\t\t show the whole construction\n"
        << "F3:\t\t toggle the clearer picture (outlines, ball shadows,\n"
        << "\t\t balls seen through track, smoothed edges)\n"
        << "y:\t\t toggle sound\n"
        << "g:\t\t show/hide run statistics\n"
        << "\n";
}

}  // namespace app
