// Writes a page file from its template in web/ at build time, with the window's design taken from
// the board: each {{object.field}} becomes that design value, {{design}} the whole design as one
// JSON object, {{shortName}} the title as a launcher shows it under an icon, and {{startBoard}}
// the board a new window shows, as SVG shapes painted by the board itself.
//
//   write_page TEMPLATE OUTPUT [NAME=VALUE | NAME@FILE ...]
//
// NAME=VALUE pairs fill in {{NAME}} too, for what the build knows and the board does not, and
// NAME@FILE pairs put in the contents of a file of the site's own as they are: the page's script
// for a <script> of an HTML page, an image's SVG for an SVG picture. Texts are escaped for markup's
// text and attributes when OUTPUT ends in .html or .svg, and for a JSON string otherwise. A name
// with no value stops the build.
#include "accessible_texts.h"
#include "board_painting.h"
#include "cell_cursor.h"
#include "touch_pointer.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace virurad;

struct Value {
    std::string name; // "window.width": object, then field
    std::string text; // as written into a page
    bool isNumber = false;
    bool isMarkup = false; // written into a page as it is: markup, a script, or JSON in a script
};

class Values {
  public:
    void add(const std::string &name, std::string_view text)
    {
        m_values.push_back({name, std::string(text), false, false});
    }
    void add(const std::string &name, double number)
    {
        std::ostringstream out;
        out << number;
        m_values.push_back({name, out.str(), true, false});
    }
    void addMarkup(const std::string &name, std::string_view markup)
    {
        m_values.push_back({name, std::string(markup), false, true});
    }
    void add(const std::string &name, const PixelRect &r)
    {
        add(name + ".left", r.left);
        add(name + ".top", r.top);
        add(name + ".width", r.width);
        add(name + ".height", r.height);
    }
    const Value *find(std::string_view name) const
    {
        for (const Value &v : m_values)
            if (v.name == name)
                return &v;
        return nullptr;
    }
    // Values named "object.field" become {"object": {"field": value}}, in the order added.
    std::string json() const;

  private:
    std::vector<Value> m_values;
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

std::string jsonString(std::string_view s)
{
    return '"' + jsonText(s) + '"';
}

std::string Values::json() const
{
    std::string out, object;
    for (const Value &v : m_values) {
        const auto dot = v.name.find('.');
        const std::string owner = v.name.substr(0, dot);
        out += owner == object ? "," : (object.empty() ? "{" : "},") + jsonString(owner) + ":{";
        object = owner;
        out += jsonString(v.name.substr(dot + 1)) + ':' + (v.isNumber ? v.text : jsonString(v.text));
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
    const bool sans = f.standIn.find("Sans") != std::string_view::npos;
    out << f.weight << ' ' << f.points * 4 / 3 << "px '" << f.face << "', '" << f.standIn
        << "', " << (sans ? "sans-serif" : "serif");
    return out.str();
}

void addColours(Values &d)
{
    d.add("colours.window", cssColour(WindowGreen));
    d.add("colours.chip", cssColour(ChipBrown));
    d.add("colours.cellBorder", cssColour(CellBorder));
    d.add("colours.empty", cssColour(toRgb(CellColour::White)));
    d.add("colours.marked", cssColour(toRgb(CellColour::Yellow)));
    d.add("colours.sizeLabel", cssColour(SizeLabelBackground));
    d.add("colours.checkButton", cssColour(CheckButtonFace));
}

// The controls by their names in the page, with the texts the window opens with.
void addControls(Values &d)
{
    const ChipBoard fresh;
    d.add("Board", PixelRect{0, 0, BoardPixels, BoardPixels});
    d.add("Board.name", BoardName);
    d.add("Board.description", boardDescription(fresh));
    d.add("SizeScroll", SizeScrollRect);
    d.add("SizeScroll.name", SizeScrollName);
    d.add("SizeScroll.minimum", MinSize);
    d.add("SizeScroll.maximum", MaxSide);
    d.add("SizeScroll.value", fresh.size());
    d.add("SizeOf", SizeLabelRect);
    d.add("SizeOf.font", cssFont(SizeLabelFont));
    d.add("SizeOf.description", SizeLabelDescription);
    d.add("SizeOf.text", fresh.sizeCaption());
    d.add("Number", CountLabelRect);
    d.add("Number.font", cssFont(CountLabelFont));
    d.add("Number.description", CountLabelDescription);
    d.add("Number.text", fresh.countCaption());
    d.add("Test", CheckButtonRect);
    d.add("Test.font", cssFont(CheckButtonFont));
    d.add("Test.caption", CheckButtonCaption);
}

Values windowDesign()
{
    Values d;
    d.add("window.title", WindowTitle);
    d.add("window.width", WindowWidth);
    d.add("window.height", WindowHeight);
    addColours(d);
    addControls(d);
    d.add("touch.longPressMilliseconds", LongPressMilliseconds);
    // The board's numbers for the keys a cell of the grid takes, which the page maps its own onto.
    d.add("boardKeys.Left", int(BoardKey::Left));
    d.add("boardKeys.Right", int(BoardKey::Right));
    d.add("boardKeys.Up", int(BoardKey::Up));
    d.add("boardKeys.Down", int(BoardKey::Down));
    d.add("boardKeys.Place", int(BoardKey::Place));
    d.add("boardKeys.Mark", int(BoardKey::Mark));
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
    const ChipBoard fresh;
    SvgCanvas canvas;
    paintBoard(fresh, 1, {0, 0, BoardPixels, BoardPixels}, canvas);
    return canvas.svg();
}

std::string htmlText(std::string_view s)
{
    std::string out;
    for (const char c : s) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// The template with every {{name}} filled in; false, with `error` saying why, if one cannot be.
bool fill(std::string &page, const Values &values, bool markup, std::string &error)
{
    std::string out;
    std::size_t at = 0;
    for (std::size_t open; (open = page.find("{{", at)) != std::string::npos;) {
        const std::size_t close = page.find("}}", open);
        const Value *value =
            close == std::string::npos ? nullptr : values.find(page.substr(open + 2, close - open - 2));
        if (!value) {
            error = "no value for " + page.substr(open, close == std::string::npos ? 2 : close + 2 - open);
            return false;
        }
        out += page.substr(at, open - at);
        out += value->isNumber || value->isMarkup ? value->text
               : markup                           ? htmlText(value->text)
                                                  : jsonText(value->text);
        at = close + 2;
    }
    page = out + page.substr(at);
    return true;
}

bool readFile(const char *path, std::string &text)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream read;
    read << in.rdbuf();
    text = read.str();
    return bool(in);
}

// A script's text ends at the first "</script" in it, and "<!--" changes how the rest is read.
bool fitsInScript(std::string text)
{
    for (char &c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text.find("</script") == std::string::npos && text.find("<!--") == std::string::npos;
}

// NAME=VALUE, or NAME@FILE; into an HTML page a file goes as a script's text.
void addPair(Values &values, const std::string &pair, bool html, std::string &error)
{
    const auto split = pair.find_first_of("=@");
    if (split == std::string::npos) {
        error = "not NAME=VALUE or NAME@FILE: " + pair;
    } else if (pair[split] == '=') {
        values.add(pair.substr(0, split), std::string_view(pair).substr(split + 1));
    } else {
        const std::string path = pair.substr(split + 1);
        std::string code;
        if (!readFile(path.c_str(), code))
            error = "cannot read " + path;
        else if (html && !fitsInScript(code))
            error = path + " holds what would end its <script> early";
        else
            values.addMarkup(pair.substr(0, split), code);
    }
}

Values pageValues(int argc, char **argv, bool html, std::string &error)
{
    Values values = windowDesign();
    // The design's JSON goes into a <script>, which reads no HTML.
    values.addMarkup("design", values.json());
    values.addMarkup("startBoard", startBoard());
    std::string title(WindowTitle);
    while (!title.empty() && title.back() == '?')
        title.pop_back();
    values.add("shortName", title);
    for (int i = 3; i < argc && error.empty(); ++i)
        addPair(values, argv[i], html, error);
    return values;
}

bool endsWith(std::string_view s, std::string_view end)
{
    return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::cerr << "usage: write_page TEMPLATE OUTPUT [NAME=VALUE | NAME@FILE ...]\n";
        return 2;
    }
    std::string error;
    const bool markup = endsWith(argv[2], ".html") || endsWith(argv[2], ".svg");
    const Values values = pageValues(argc, argv, endsWith(argv[2], ".html"), error);
    std::string page;
    if (!readFile(argv[1], page) && error.empty())
        error = "cannot read it";
    if (error.empty())
        fill(page, values, markup, error);
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
