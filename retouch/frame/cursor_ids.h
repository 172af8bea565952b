/* Cursor resources of the host's cursor module, by number: the tools' cursors and those of the
   floating selection's handles and buttons. Plain defines: the host's resource script and its
   cursor generator read this header too. */
#pragma once

#define CURSOR_FIRST 3014
#define CURSOR_PICKER 3014
#define CURSOR_PAINT 3015
#define CURSOR_SMOOTH 3016
#define CURSOR_STAMP 3017 /* also the selection's stamp button */
#define CURSOR_RESTORE 3018
#define CURSOR_SPRAY 3019
#define CURSOR_CLONE 3020
#define CURSOR_LASSO 3021
#define CURSOR_MIRROR_TOP_BOTTOM 3022
#define CURSOR_MIRROR_LEFT_RIGHT 3023
#define CURSOR_TONE_DOWN 3024
#define CURSOR_TONE_UP 3025
#define CURSOR_TEXT 3026
#define CURSOR_ROTATE 3027
#define CURSOR_WHITEN_MORE 3028
#define CURSOR_WHITEN_LESS 3029
#define CURSOR_HUE_DOWN 3030
#define CURSOR_HUE_UP 3031
#define CURSOR_SATURATION_DOWN 3032
#define CURSOR_SATURATION_UP 3033
#define CURSOR_SLOPE_UP 3034
#define CURSOR_SLOPE_DOWN 3035
#define CURSOR_OUTLINE 3036
#define CURSOR_DROP_SELECTION 3037
#define CURSOR_MOVE 3038
#define CURSOR_LAST 3038
