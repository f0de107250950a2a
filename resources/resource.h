#pragma once
// Resource identifiers: every number the program and its resources share, under a readable name.
// The numbers are fixed; change a name freely, never a number.

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// ---- Dialog templates ------------------------------------------------------------------------
#define IDD_MAIN 102
#define IDD_GLOBAL_PANEL 154
#define IDD_IMAGE_PANEL 155
#define IDD_COMMENT_PANEL 156
#define IDD_ANIMATION_VIEW 158
#define IDD_PALETTE_EDITOR 160
#define IDD_COLOR_GRADIENT 161
#define IDD_SORT_PALETTE 178
#define IDD_PALETTE_COLORS 179
#define IDD_PALETTE_PREVIEW 180
#define IDD_INDEX_PICKER 181

// ---- Menu, accelerators ----------------------------------------------------------------------
#define IDR_MAIN_MENU 157
// Looked up at start-up.
#define IDR_ACCELERATORS 109
// Named as the class's menu; no menu resource carries it (the dialog template brings its own).
#define IDR_CLASS_MENU 109

#define IDM_FILE_OPEN 32780
#define IDM_FILE_NEW 32781
#define IDM_FILE_SAVE 32782
#define IDM_FILE_SAVE_AS 32783
#define IDM_FILE_EXIT 32784
#define IDM_IMAGE_NEW 32785
#define IDM_IMAGE_ADD 32786
#define IDM_IMAGE_DELETE 32787
#define IDM_IMAGE_MOVE_UP 32788
#define IDM_IMAGE_MOVE_DOWN 32790
#define IDM_HELP_HELP 32791
#define IDM_ANIMATION_ANIMATE 32792
#define IDM_EDIT_UNDO 32793
#define IDM_EDIT_REDO 32794
#define IDM_ANIMATION_OPTIMIZE 32795
#define IDM_VIEW_ZOOM_IN 32796
#define IDM_VIEW_ZOOM_OUT 32797
#define IDM_VIEW_FIT 32798
#define IDM_VIEW_ACTUAL_SIZE 32799
#define IDM_VIEW_CHECKERBOARD 32800
// Recent Files: the placeholder while the list is empty, then one id per remembered file.
#define IDM_FILE_RECENT_NONE 32850
#define IDM_FILE_RECENT_FIRST 32851
#define IDM_FILE_RECENT_LAST 32858
#define IDM_ANIMATION_PLAY 32801
#define IDM_ANIMATION_COMPOSED 32802

// ---- Icons -----------------------------------------------------------------------------------
#define IDI_APP 107
#define IDI_APP_SMALL 108
#define IDI_TICK 153

// ---- Strings ---------------------------------------------------------------------------------
#define IDS_APP_TITLE 103
#define IDS_WINDOW_CLASS 109
#define IDS_TB_NEW 104
#define IDS_TB_OPTIMIZE 105
#define IDS_TB_OPEN 106
#define IDS_TB_SAVE 107
#define IDS_TB_UNDO 108
#define IDS_TB_REDO 110
#define IDS_TB_ADD_EMPTY 111
#define IDS_TB_ADD 112
#define IDS_TB_DELETE 113
#define IDS_TB_MOVE_UP 114
#define IDS_TB_MOVE_DOWN 115
#define IDS_TB_ANIMATE 116
#define IDS_TB_LOOP 117
#define IDS_TB_DELAY 118
#define IDS_TB_HELP 119
#define IDS_TB_PLAY 120
#define IDS_TAB_GLOBAL 121
#define IDS_TAB_IMAGE 122
#define IDS_TAB_COMMENT 123
#define IDS_TAB_COMPOSE 124

// ---- Toolbar bitmaps (28 x 28, 24 bits, magenta is see-through) ------------------------------
#define IDB_TB_MOVE_DOWN 186
#define IDB_TB_ADD_EMPTY 187
#define IDB_TB_DELAY 188
#define IDB_TB_OPTIMIZE 189
#define IDB_TB_ADD 190
#define IDB_TB_DELETE 191
#define IDB_TB_LOOP 196
#define IDB_TB_ANIMATE 204
#define IDB_TB_OPEN 206
#define IDB_TB_REDO 207
#define IDB_TB_SAVE 208
#define IDB_TB_UNDO 210
#define IDB_TB_MOVE_UP 211
#define IDB_TB_HELP 217
#define IDB_TB_PLAY 218
#define IDB_TB_NEW 1036

// ---- Toolbar button commands (arrive as WM_COMMAND with lParam = the toolbar) ----------------
#define IDT_NEW 101
#define IDT_OPEN 102
#define IDT_SAVE 103
#define IDT_OPTIMIZE 104
#define IDT_UNDO 105  // also the id of the hidden separator and the first visible one
#define IDT_REDO 106
#define IDT_ADD_EMPTY 107
#define IDT_ADD 108
#define IDT_DELETE 109
#define IDT_MOVE_DOWN 110
#define IDT_MOVE_UP 111
#define IDT_ANIMATE 112  // also the id of the two separators around Animate
#define IDT_LOOP 113
#define IDT_DELAY 114
#define IDT_HELP 115
#define IDT_PLAY 116

// ---- Main window (dialog 102) ----------------------------------------------------------------
#define IDC_TOOLBAR 100
#define IDC_STATUSBAR 101
#define IDC_FRAME_LIST 1000
#define IDC_PROPERTY_TABS 1001
#define IDC_COMPOSE_TABS 1002
#define IDC_MAIN_UNUSED_BUTTON 1003  // never shown
#define IDC_MAIN_UNUSED_STATIC 1079  // never drawn

// ---- Global panel (dialog 154) ---------------------------------------------------------------
#define IDC_GLOBAL_WIDTH_SPIN 1005
#define IDC_GLOBAL_WIDTH 1006
#define IDC_GLOBAL_HEIGHT 1007
#define IDC_GLOBAL_HEIGHT_SPIN 1008
#define IDC_GLOBAL_LOOP 1009
#define IDC_GLOBAL_LOOP_SPIN 1010
#define IDC_GLOBAL_SEPARATOR 1011
#define IDC_GLOBAL_BACKGROUND_SEPARATOR 1012
#define IDC_GLOBAL_BACKGROUND 1013
#define IDC_GLOBAL_INFINITE 1014
#define IDC_GLOBAL_BACKGROUND_SPIN 1015
#define IDC_GLOBAL_AUTO_SIZE 1031
#define IDC_GLOBAL_BACKGROUND_SWATCH 1032
#define IDC_GLOBAL_PALETTE 1033

// ---- Image panel (dialog 155) ----------------------------------------------------------------
#define IDC_IMAGE_TRANSPARENT_INDEX 1009
#define IDC_IMAGE_TRANSPARENT_SPIN 1010
#define IDC_IMAGE_DELAY 1011
#define IDC_IMAGE_DELAY_SPIN 1012
#define IDC_IMAGE_OFFSET_SEPARATOR 1015
#define IDC_IMAGE_WIDTH 1016
#define IDC_IMAGE_HEIGHT 1017
#define IDC_IMAGE_TRANSPARENT 1018
#define IDC_IMAGE_TRANSPARENCY_SEPARATOR 1021
#define IDC_IMAGE_TRANSPARENT_SWATCH 1022
#define IDC_IMAGE_TOP_SPIN 1023
#define IDC_IMAGE_LEFT_SPIN 1024
#define IDC_IMAGE_LOCAL_PALETTE 1025
#define IDC_IMAGE_INTERLACED 1026
#define IDC_IMAGE_DELAY_SEPARATOR 1027
#define IDC_IMAGE_TITLE 1028
#define IDC_IMAGE_DISPOSAL 1030
#define IDC_IMAGE_LEFT 1039
#define IDC_IMAGE_TOP 1040

// ---- Comment panel (dialog 156) --------------------------------------------------------------
#define IDC_COMMENT_TEXT 1035
#define IDC_COMMENT_ADD 1036
#define IDC_COMMENT_DELETE 1037
#define IDC_COMMENT_LIST 1038

// ---- Animation view ----------------------------------------------------------------------------
#define ID_TIMER_VIEW_DRAG 911  // pending drag move, 50 ms

// ---- Main window timers ----------------------------------------------------------------------

// ==== Palette editing: editor (160), its dialogs (161, 178-180), index picker (181) ============
// ---- Edit Palette (dialog 160) ---------------------------------------------------------------
#define IDC_PALETTE_STATUSBAR 101
#define IDC_PALETTE_GRADIENT 1054
#define IDC_PALETTE_DELETE_DUPLICATES 1055
#define IDC_PALETTE_ADD 1056
#define IDC_PALETTE_REMOVE 1057
#define IDC_PALETTE_REPLACE 1058
#define IDC_PALETTE_MOVE_LEFT 1059
#define IDC_PALETTE_MOVE_RIGHT 1060
#define IDC_PALETTE_SORT 1061
#define IDC_PALETTE_DELETE_UNUSED 1062
#define IDC_PALETTE_READ 1063
#define IDC_PALETTE_WRITE 1064
#define IDC_PALETTE_COUNT 1065
#define IDC_PALETTE_RED_SPIN 1066
#define IDC_PALETTE_GREEN_SPIN 1067
#define IDC_PALETTE_BLUE_SPIN 1068
#define IDC_PALETTE_INDEX 1069
#define IDC_PALETTE_RED 1070
#define IDC_PALETTE_GREEN 1071
#define IDC_PALETTE_BLUE 1072
#define IDC_PALETTE_INDEX_SPIN 1073
#define IDC_PALETTE_PREVIEW 1077

// ---- Color Gradient (dialog 161) -------------------------------------------------------------
#define IDC_GRADIENT_FROM_INDEX 1042
#define IDC_GRADIENT_FROM_RED 1043
#define IDC_GRADIENT_FROM_GREEN 1044
#define IDC_GRADIENT_FROM_BLUE 1045
#define IDC_GRADIENT_FROM_SWATCH 1046
#define IDC_GRADIENT_TO_INDEX 1047
#define IDC_GRADIENT_TO_RED 1048
#define IDC_GRADIENT_TO_GREEN 1049
#define IDC_GRADIENT_TO_BLUE 1050
#define IDC_GRADIENT_TO_SWATCH 1051
#define IDC_GRADIENT_FROM_INDEX_SPIN 1053
#define IDC_GRADIENT_FROM_RED_SPIN 1054
#define IDC_GRADIENT_FROM_GREEN_SPIN 1055
#define IDC_GRADIENT_FROM_BLUE_SPIN 1056
#define IDC_GRADIENT_TO_INDEX_SPIN 1057
#define IDC_GRADIENT_TO_RED_SPIN 1058
#define IDC_GRADIENT_TO_GREEN_SPIN 1059
#define IDC_GRADIENT_TO_BLUE_SPIN 1060

// ---- Sort palette entries (178), Colors (179), Preview (180) ---------------------------------
#define IDC_SORT_HELP 9  // shows nothing
#define IDC_SORT_KEY 1074
#define IDC_COLORS_COUNT 1075
#define IDC_COLORS_COUNT_SPIN 1076
#define IDC_PREVIEW_PICTURE 1078

// ---- Palette editor icons (16 x 16) ----------------------------------------------------------
#define IDI_PALETTE_GRADIENT 163
#define IDI_PALETTE_DELETE_DUPLICATES 165
#define IDI_PALETTE_ADD 167
#define IDI_PALETTE_REMOVE 168
#define IDI_PALETTE_MOVE_LEFT 169
#define IDI_PALETTE_MOVE_RIGHT 170
#define IDI_PALETTE_DELETE_UNUSED 171
#define IDI_PALETTE_READ 172
#define IDI_PALETTE_REPLACE 173
#define IDI_PALETTE_WRITE 174
#define IDI_PALETTE_SORT 175

// ---- Palette editor tooltips -----------------------------------------------------------------
#define IDS_PALETTE_GRADIENT 126
#define IDS_PALETTE_DELETE_DUPLICATES 127
#define IDS_PALETTE_ADD 128
#define IDS_PALETTE_REMOVE 129
#define IDS_PALETTE_REPLACE 130
#define IDS_PALETTE_MOVE_LEFT 131
#define IDS_PALETTE_MOVE_RIGHT 132
#define IDS_PALETTE_SORT 133
#define IDS_PALETTE_DELETE_UNUSED 176
#define IDS_PALETTE_WRITE 177
#define IDS_PALETTE_READ 178
// ==== End of palette editing ===================================================================

// ==== Whole-animation dialogs ===================================================================
#define IDD_ANIMATION_DELAY 240
#define IDD_LOOP_COUNTER 241
#define IDC_DELAY_ALL_FRAMES 1100
#define IDC_DELAY_CURRENT_FRAME 1101
#define IDC_DELAY_SET 1102
#define IDC_DELAY_SCALE 1103
#define IDC_DELAY_VALUE 1104
#define IDC_DELAY_VALUE_SPIN 1105
#define IDC_DELAY_PERCENT 1106
#define IDC_DELAY_PERCENT_SPIN 1107
#define IDC_DELAY_PLAY_TIME 1108
#define IDC_LOOP_COUNT 1110
#define IDC_LOOP_COUNT_SPIN 1111
#define IDC_LOOP_INFINITE 1112
