// The options screen: drawn over the board inside render_frame while open,
// and it reads the mouse and keys in the same call.
#include "ui/options.h"

#include <algorithm>

#include "board/board.h"
#include "effects/pop.h"
#include "persist/settings.h"
#include "shell/background.h"
#include "shell/input.h"
#include "shell/shell.h"
#include "ui/buttons.h"

int options_open = 0;
int options_mouse_was_down = 0;
int options_highlight = -1;

namespace {

void tint(int x1, int y1, int x2, int y2)
{
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    color_map = &trans_table_220;
    rectfill(BackBuffer, x1, y1, x2, y2, COLOUR_OPTIONS);
    solid_mode();
}

struct OptionButton {
    int id, sprite, x, y;
};

// In the order they are added: later buttons win a shared point.
constexpr OptionButton OPTION_BUTTONS[] = {
    {BUTTON_MODE_PREV, OBJ_ARROW_LEFT, 30, 70},
    {BUTTON_MODE_NEXT, OBJ_ARROW_RIGHT, 190, 70},
    {BUTTON_THEME_PREV, OBJ_ARROW_LEFT, 30, 110},
    {BUTTON_THEME_NEXT, OBJ_ARROW_RIGHT, 190, 110},
    {BUTTON_ANIMATIONS, OBJ_CHECK_BOX, 22, 140},
    {BUTTON_SAMPLE_VOLUME, OBJ_SAMPLE_KNOB, 160, 40},
    {BUTTON_MUSIC_VOLUME, OBJ_MUSIC_KNOB, 160, 20},
    {BUTTON_CLOSE, OBJ_CLOSE, 190, 160},
};

void text(int x, int y, const char* s) { textprintf_ex(BackBuffer, game_font(), x, y, -1, -1, "%s", s); }

// The rows Up and Down walk, top to bottom as drawn, and the area each
// one's frame goes around.
enum OptionRow { ROW_MUSIC, ROW_SOUND, ROW_MODE, ROW_THEME, ROW_ANIMATIONS, ROW_CLOSE, ROW_COUNT };
struct RowArea {
    int x1, y1, x2, y2;
};
constexpr RowArea ROW_AREAS[ROW_COUNT] = {
    {141, 18, 216, 38}, {141, 39, 216, 59}, {26, 65, 205, 87},
    {26, 105, 205, 127}, {19, 136, 122, 156}, {187, 157, 220, 173},
};
// Seventeen steps from 0 to 255; a volume set between steps by the mouse
// still reaches both ends.
constexpr int VOLUME_KEY_STEP = 15;

// Left and Right on a knob's row act as a press on the knob (its click) and
// a drag by one step.
void step_volume(int button, int32_t& volume, int step)
{
    options_act(button);
    volume = std::clamp(volume + step * VOLUME_KEY_STEP, 0, 255);
}

void options_keys()
{
    const bool up = key_press(KEY_UP);
    const bool down = key_press(KEY_DOWN);
    const bool left = key_press(KEY_LEFT);
    const bool right = key_press(KEY_RIGHT);
    const bool enter = enter_press();
    const bool esc = key_press(KEY_ESC);
    if (enter || esc) {
        options_act(BUTTON_CLOSE);
        return;
    }
    if (!(up || down || left || right))
        return;
    // The first arrow only shows the highlight, on the top row.
    if (options_highlight < 0) {
        options_highlight = ROW_MUSIC;
        return;
    }
    options_highlight = std::clamp(options_highlight + down - up, 0, ROW_COUNT - 1);
    const int step = right - left;
    if (step == 0)
        return;
    switch (options_highlight) {
    case ROW_MUSIC:
        step_volume(BUTTON_MUSIC_VOLUME, settings.music_volume, step);
        break;
    case ROW_SOUND:
        step_volume(BUTTON_SAMPLE_VOLUME, settings.sample_volume, step);
        break;
    case ROW_MODE:
        options_act(step > 0 ? BUTTON_MODE_NEXT : BUTTON_MODE_PREV);
        break;
    case ROW_THEME:
        options_act(step > 0 ? BUTTON_THEME_NEXT : BUTTON_THEME_PREV);
        break;
    case ROW_ANIMATIONS:
        options_act(BUTTON_ANIMATIONS);
        break;
    default:
        break;  // the close button has no value; Enter closes
    }
}

} // namespace

void create_option_buttons()
{
    options_buttons = button_list_create();
    for (const OptionButton& b : OPTION_BUTTONS)
        button_add(options_buttons, Datafile, b.sprite, b.sprite, b.x, b.y, b.id);
}

int slider_volume(int pointer_x) { return std::clamp((pointer_x - 150) * 5, 0, 255); }

void options_act(int hit)
{
    const bool mode_locked = game_progress == GameProgress::in_progress;
    switch (hit) {
    case BUTTON_MODE_PREV:
        if (settings.game_mode > 0 && !mode_locked)
            --settings.game_mode;
        break;
    case BUTTON_MODE_NEXT:
        if (settings.game_mode < MODE_COUNT - 1 && !mode_locked)
            ++settings.game_mode;
        break;
    case BUTTON_THEME_PREV:
        if (settings.theme > 0)
            --settings.theme;
        break;
    case BUTTON_THEME_NEXT:
        if (settings.theme < THEME_COUNT - 1)
            ++settings.theme;
        break;
    case BUTTON_ANIMATIONS:
        settings.animations = settings.animations == 0 ? 1 : 0;
        break;
    case BUTTON_CLOSE:
        options_open = 0;
        break;
    default:
        break;  // the knobs act while dragged, not on the press
    }
    // Every button clicks, even when a limit or a game in progress refuses it.
    if (hit != 0)
        play_cue(OBJ_SND_CLICK);
}

void options_frame()
{
    const int music_before = settings.music_volume;
    const int sample_before = settings.sample_volume;
    const bool mode_locked = game_progress == GameProgress::in_progress;

    tint(17, 7, 221, 67);
    if (!mode_locked)
        tint(17, 68, 221, 90);
    tint(17, 91, 221, 171);
    text(20, 8, "OPTIONS");
    const PointerState pointer = read_pointer();
    const int hit = button_hit_test(options_buttons, pointer.x, pointer.y);
    text(20, 48, "Mode");
    text(42, 68, MODE_NAMES[settings.game_mode]);
    // While a game is in progress the mode row is tinted over its name: dimmed.
    if (mode_locked)
        tint(17, 68, 221, 90);
    text(20, 88, "Theme");
    text(42, 108, THEME_NAMES[settings.theme]);
    draw_sprite(BackBuffer, sprite(OBJ_SLIDER_TRACK), 150, 28);
    draw_sprite(BackBuffer, sprite(OBJ_SLIDER_TRACK), 150, 48);
    button_move(options_buttons, BUTTON_MUSIC_VOLUME, 144 + settings.music_volume / 5, -1);
    button_move(options_buttons, BUTTON_SAMPLE_VOLUME, 144 + settings.sample_volume / 5, -1);
    color_map = &white_light_table;
    button_draw_all(BackBuffer, Datafile, options_buttons);
    if (settings.animations)
        draw_sprite(BackBuffer, sprite(OBJ_CHECK_MARK), 22, 138);
    text(42, 138, "Animations");
    if (options_highlight >= 0) {
        const RowArea& a = ROW_AREAS[options_highlight];
        draw_key_frame(BackBuffer, a.x1, a.y1, a.x2, a.y2);
    }

    const PointerState now = read_pointer();
    if (now.b == 1) {
        // Buttons act on the frame a press begins; the knobs follow every held frame.
        if (!options_mouse_was_down)
            options_act(hit);
        if (hit == BUTTON_MUSIC_VOLUME)
            settings.music_volume = slider_volume(now.x);
        if (hit == BUTTON_SAMPLE_VOLUME)
            settings.sample_volume = slider_volume(now.x);
    }
    options_mouse_was_down = now.b == 1;
    options_keys();
    if (settings.music_volume != music_before || settings.sample_volume != sample_before) {
        set_volume(-1, settings.music_volume);
        if (settings.sample_volume != sample_before)
            play_cue(OBJ_SND_CLICK);
    }
}
