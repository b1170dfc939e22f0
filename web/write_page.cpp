// Writes a page file from its template in web/ at build time, with the window's design taken from
// the board: each {{object.field}} becomes that design value, {{design}} the whole design as one
// JSON object, {{shortName}} the title as a launcher shows it under an icon, and {{startBoard}}
// the board a new window shows, as SVG shapes painted by the board itself.
//
//   write_page TEMPLATE OUTPUT [NAME=VALUE | NAME@FILE ...]
//
// NAME=VALUE pairs fill in {{NAME}} too, for what the build knows and the board does not, and
// NAME@FILE pairs put in the contents of a file as it is, such as an image's SVG for an SVG
// picture. Texts are escaped for markup's text and attributes when OUTPUT ends in .html or .svg,
// go into a style sheet as they are, and are escaped for a JSON string otherwise. A name with no
// value stops the build.
#include "accessible_texts.h"
#include "board_painting.h"
#include "game.h"
#include "touch_pointer.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace virurad;

// A value by its name, "window.width": object, then field. A text is escaped for where it goes;
// a number or markup (SVG shapes, JSON) is written as it is.
struct Value {
    std::string name;
    std::string text;
    bool isText = true;
};

class Values : public std::vector<Value> {
  public:
    void add(const std::string &name, std::string_view text)
    {
        push_back({name, std::string(text)});
    }
    void add(const std::string &name, double number)
    {
        std::ostringstream out;
        out << number;
        push_back({name, out.str(), false});
    }
    void add(const std::string &name, const PixelRect &r)
    {
        add(name + ".left", r.left);
        add(name + ".top", r.top);
        add(name + ".width", r.width);
        add(name + ".height", r.height);
    }
    void addMarkup(const std::string &name, std::string markup)
    {
        push_back({name, std::move(markup), false});
    }
    const Value *find(std::string_view name) const
    {
        for (const Value &v : *this)
            if (v.name == name)
                return &v;
        return nullptr;
    }
};

// The inside of a JSON string; also safe in an HTML <script>, which "</script>" would end.
std::string jsonText(std::string_view s)
{
    std::string out;
    for (const char c : s) {
        if (c == '"' || c == '\\') {
            out += {'\\', c};
        } else if (c == '<' || static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

// Values named "object.field" as {"object": {"field": value}}, in the order added.
std::string json(const Values &values)
{
    std::string out, object;
    const auto quoted = [](std::string_view s) { return '"' + jsonText(s) + '"'; };
    for (const Value &v : values) {
        const auto dot = v.name.find('.');
        const std::string owner = v.name.substr(0, dot);
        out += owner == object ? "," : (object.empty() ? "{" : "},") + quoted(owner) + ":{";
        object = owner;
        out += quoted(v.name.substr(dot + 1)) + ':' + (v.isText ? quoted(v.text) : v.text);
    }
    return out + "}}";
}

std::string cssColour(Rgb c)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.red, c.green, c.blue);
    return text;
}

// The designed face first, then the one Debian ships in its place, then the browser's own kind.
std::string cssFont(const FontDesign &f)
{
    std::ostringstream out;
    out << f.weight << ' ' << f.points * 4 / 3 << "px '" << f.face << "', '" << f.standIn << "', "
        << f.generic;
    return out.str();
}

// The window, its colours and its controls by their names in the page, with the texts it opens
// with, and the game's numbers for the browser's keys and for the controls the keyboard reaches.
Values windowDesign()
{
    const ChipBoard fresh;
    const auto text = [&fresh](Control c) { return accessibleText(fresh, c); };
    Values d;
    d.add("window.title", WindowTitle);
    d.add("window.width", WindowWidth);
    d.add("window.height", WindowHeight);
    d.add("window.firstFocus", controlName(FirstFocus));
    d.add("colours.window", cssColour(WindowGreen));
    d.add("colours.sizeLabel", cssColour(SizeLabelBackground));
    d.add("colours.checkButton", cssColour(CheckButtonFace));
    d.add("Board", PixelRect{0, 0, BoardPixels, BoardPixels});
    d.add("Board.name", text(Control::Board).name);
    d.add("Board.description", text(Control::Board).description);
    d.add("SizeScroll", SizeScrollRect);
    d.add("SizeScroll.name", text(Control::SizeScroll).name);
    d.add("SizeScroll.minimum", MinSize);
    d.add("SizeScroll.maximum", MaxSide);
    d.add("SizeScroll.value", fresh.size());
    const std::pair<const char *, Control> labels[]{{"SizeOf", Control::SizeOf},
                                                    {"Number", Control::Number}};
    for (const auto &[name, control] : labels) {
        const bool size = control == Control::SizeOf;
        d.add(name, size ? SizeLabelRect : CountLabelRect);
        d.add(name + std::string(".font"), cssFont(size ? SizeLabelFont : CountLabelFont));
        d.add(name + std::string(".description"), text(control).description);
        d.add(name + std::string(".text"), size ? fresh.sizeCaption() : fresh.countCaption());
    }
    d.add("Test", CheckButtonRect);
    d.add("Test.font", cssFont(CheckButtonFont));
    d.add("Test.caption", CheckButtonCaption);
    d.add("touch.longPressMilliseconds", LongPressMilliseconds);
    const std::pair<const char *, Key> keys[]{{"ArrowLeft", Key::Left},
                                              {"ArrowRight", Key::Right},
                                              {"ArrowUp", Key::Up},
                                              {"ArrowDown", Key::Down},
                                              {"PageUp", Key::PageUp},
                                              {"PageDown", Key::PageDown},
                                              {"Home", Key::Home},
                                              {"End", Key::End},
                                              {" ", Key::Space},
                                              {"Enter", Key::Enter},
                                              {"m", Key::M},
                                              {"M", Key::M},
                                              {"Tab", Key::Tab}};
    for (const auto &[name, key] : keys)
        d.add(std::string("keys.") + name, int(key));
    for (const Control c : {Control::Board, Control::SizeScroll, Control::Test})
        d.add("controls." + std::string(controlName(c)), int(c));
    return d;
}

// The board as SVG paths, painted by paintBoard at one device pixel to a layout pixel as the
// page's canvas paints it at that density. A cell's colours each lie inside the last and cells
// never overlap, so every rectangle of one colour can go into one path, before the next colour's:
// the same picture in a few elements. Each rectangle moves on from the last one of its colour, so
// that a row of equal cells is one repeated text, which the page's compression all but removes.
class SvgCanvas final : public Canvas {
  public:
    void fillRect(const PixelRect &r, Rgb colour) override
    {
        Path &p = path(colour);
        p.data += 'm' + std::to_string(r.left - p.x) + ' ' + std::to_string(r.top - p.y) + 'h' +
                  std::to_string(r.width) + 'v' + std::to_string(r.height) + 'h' +
                  std::to_string(-r.width) + 'z';
        p.x = r.left;
        p.y = r.top;
    }
    void fillDisc(const PixelRect &r, Rgb colour) override
    {
        std::ostringstream out;
        out << "<ellipse cx=\"" << r.left + r.width / 2.0 << "\" cy=\"" << r.top + r.height / 2.0
            << "\" rx=\"" << r.width / 2.0 << "\" ry=\"" << r.height / 2.0 << "\" fill=\""
            << cssColour(colour) << "\"/>";
        m_discs += out.str();
    }
    // The paths, and the discs above them all.
    std::string svg() const
    {
        std::string out;
        for (const Path &p : m_paths)
            out += "<path fill=\"" + cssColour(p.colour) + "\" d=\"" + p.data + "\"/>";
        return out + m_discs;
    }

  private:
    struct Path {
        Rgb colour;
        std::string data;
        int x = 0, y = 0; // where the last rectangle started
    };
    Path &path(Rgb colour)
    {
        for (Path &p : m_paths)
            if (p.colour == colour)
                return p;
        return m_paths.emplace_back(Path{colour, {}});
    }

    std::vector<Path> m_paths;
    std::string m_discs;
};

std::string startBoard()
{
    SvgCanvas canvas;
    paintBoard(ChipBoard(), 1, {0, 0, BoardPixels, BoardPixels}, canvas);
    return canvas.svg();
}

std::string htmlText(std::string_view s)
{
    std::string out;
    for (const char c : s) {
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
        default:
            out += c;
        }
    }
    return out;
}

bool endsWith(std::string_view s, std::string_view end)
{
    return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

// A text as it goes into the file `path`: the design's texts are the board's own, which a style
// sheet takes as they are.
std::string escaped(const Value &v, std::string_view path)
{
    if (!v.isText || endsWith(path, ".css"))
        return v.text;
    return endsWith(path, ".html") || endsWith(path, ".svg") ? htmlText(v.text) : jsonText(v.text);
}

// The template with every {{name}} filled in for the file `path`; an error says why not.
std::string fill(std::string &page, const Values &values, std::string_view path)
{
    std::string out;
    std::size_t at = 0;
    for (std::size_t open; (open = page.find("{{", at)) != std::string::npos;) {
        const std::size_t close = page.find("}}", open);
        if (close == std::string::npos)
            return "no value for " + page.substr(open, 2);
        const std::string name = page.substr(open + 2, close - open - 2);
        const Value *value = values.find(name);
        if (!value)
            return "no value for {{" + name + "}}";
        out += page.substr(at, open - at) + escaped(*value, path);
        at = close + 2;
    }
    page = out + page.substr(at);
    return {};
}

bool readFile(const std::string &path, std::string &text)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream read;
    read << in.rdbuf();
    text = read.str();
    return bool(in);
}

// NAME=VALUE, or NAME@FILE; an error says why not.
std::string addPair(Values &values, const std::string &pair)
{
    const auto split = pair.find_first_of("=@");
    if (split == std::string::npos)
        return "not NAME=VALUE or NAME@FILE: " + pair;
    const std::string name = pair.substr(0, split), rest = pair.substr(split + 1);
    std::string contents;
    if (pair[split] == '=')
        values.add(name, rest);
    else if (readFile(rest, contents))
        values.addMarkup(name, contents);
    else
        return "cannot read " + rest;
    return {};
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::cerr << "usage: write_page TEMPLATE OUTPUT [NAME=VALUE | NAME@FILE ...]\n";
        return 2;
    }
    Values values = windowDesign();
    values.addMarkup("design", json(values));
    values.addMarkup("startBoard", startBoard());
    std::string title(WindowTitle);
    while (!title.empty() && title.back() == '?')
        title.pop_back();
    values.add("shortName", title);
    std::string error, page;
    for (int i = 3; i < argc && error.empty(); ++i)
        error = addPair(values, argv[i]);
    if (error.empty() && !readFile(argv[1], page))
        error = "cannot read it";
    if (error.empty())
        error = fill(page, values, argv[2]);
    if (error.empty()) {
        std::ofstream out(argv[2], std::ios::binary);
        out << page;
        out.close();
        if (!out)
            error = std::string("cannot write ") + argv[2];
    }
    if (!error.empty())
        std::cerr << "write_page: " << argv[1] << ": " << error << '\n';
    return error.empty() ? 0 : 1;
}
