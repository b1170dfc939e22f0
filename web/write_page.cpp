// Writes a page file from its template in web/ at build time, with the window's design taken from
// the board: each {{object.field}} becomes that design value, {{design}} the whole design as one
// JSON object, and {{shortName}} the title as a launcher shows it under an icon.
//
//   write_page TEMPLATE OUTPUT [NAME=VALUE ...]
//
// NAME=VALUE pairs fill in {{NAME}} too, for what the build knows and the board does not. Values
// are escaped for an HTML page's text and attributes when OUTPUT ends in .html, and for a JSON
// string otherwise. A name with no value stops the build.
#include "accessible_texts.h"
#include "board_painting.h"

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
};

class Values {
  public:
    void add(const std::string &name, std::string_view text)
    {
        m_values.push_back({name, std::string(text), false});
    }
    void add(const std::string &name, double number)
    {
        std::ostringstream out;
        out << number;
        m_values.push_back({name, out.str(), true});
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
    return d;
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
bool fill(std::string &page, const Values &values, bool html, std::string &error)
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
        // The design's JSON is written as it is: it goes into a <script>, which reads no HTML.
        out += value->isNumber || value->name == "design" ? value->text
               : html                                     ? htmlText(value->text)
                                                          : jsonText(value->text);
        at = close + 2;
    }
    page = out + page.substr(at);
    return true;
}

Values pageValues(int argc, char **argv, std::string &error)
{
    Values values = windowDesign();
    values.add("design", values.json());
    std::string title(WindowTitle);
    while (!title.empty() && title.back() == '?')
        title.pop_back();
    values.add("shortName", title);
    for (int i = 3; i < argc; ++i) {
        const std::string pair = argv[i];
        const auto eq = pair.find('=');
        if (eq == std::string::npos)
            error = "not NAME=VALUE: " + pair;
        else
            values.add(pair.substr(0, eq), std::string_view(pair).substr(eq + 1));
    }
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
        std::cerr << "usage: write_page TEMPLATE OUTPUT [NAME=VALUE ...]\n";
        return 2;
    }
    std::string error;
    const Values values = pageValues(argc, argv, error);
    std::ifstream in(argv[1], std::ios::binary);
    std::ostringstream read;
    read << in.rdbuf();
    std::string page = read.str();
    if (!in)
        error = "cannot read it";
    if (error.empty())
        fill(page, values, endsWith(argv[2], ".html"), error);
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
