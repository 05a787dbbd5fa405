#include "lang/CallSyntax.h"

#include <algorithm>

namespace kv {

namespace {

constexpr CallSyntax kRows[] = {
    {"sin", "sin(x)", "sinus (v radiánech)"},
    {"cos", "cos(x)", "kosinus"},
    {"tan", "tan(x)", "tangens"},
    {"asin", "asin(x)", "arkus sinus"},
    {"acos", "acos(x)", "arkus kosinus"},
    {"atan", "atan(x)", "arkus tangens"},
    {"sinh", "sinh(x)", "hyperbolický sinus"},
    {"cosh", "cosh(x)", "hyperbolický kosinus"},
    {"tanh", "tanh(x)", "hyperbolický tangens"},
    {"exp", "exp(x)", "exponenciála"},
    {"ln", "ln(x)", "přirozený logaritmus"},
    {"log", "log(x)", "dekadický logaritmus"},
    {"log", "log(b, x)", "logaritmus x o základu b"},
    {"log2", "log2(x)", "dvojkový logaritmus"},
    {"sqrt", "sqrt(x)", "druhá odmocnina"},
    {"abs", "abs(x)", "absolutní hodnota"},
    {"sign", "sign(x)", "znaménko (−1, 0, 1)"},
    {"fact", "fact(n)", "faktoriál"},
    {"rnd", "rnd()", "náhodné číslo z intervalu ⟨0, 1⟩"},
    {"eval", "eval(výraz)", "číselná hodnota"},
    {"eval", "eval(výraz, [x=hodnota, y=hodnota, ...])", "číselná hodnota po dosazení"},
    {"simpl", "simpl(výraz)", "zjednodušení"},
    {"together", "together(výraz)", "převod na společný jmenovatel"},
    {"expandall", "expandall(výraz)", "roznásobení"},
    {"derivate", "derivate(výraz, proměnná)", "derivace"},
    {"derivate", "derivate(výraz, [proměnná], grade=n)", "n-tá derivace"},
    {"subst", "subst(výraz, proměnná, nový výraz)", "dosazení výrazu za proměnnou"},
    {"lim", "lim(výraz, [x->bod])", "limita (za závorkou + zprava, - zleva)"},
    {"solve", "solve(rovnice, proměnná)", "přesné řešení rovnice"},
    {"nsolve", "nsolve(rovnice, proměnná, [a..b], h=krok, epsilon=přesnost)",
     "numerické řešení rovnice v intervalu"},
    {"nintegrate", "nintegrate(výraz, proměnná, [a..b], n=počet)", "numerický určitý integrál"},
    {"taylor", "taylor(f, x, a, n)", "Taylorův polynom stupně n v bodě a"},
    {"sum", "sum(f, k, [a..b])", "součet přes celá k od a do b"},
    {"gcd", "gcd(a, b, ...)", "největší společný dělitel"},
    {"lcm", "lcm(a, b, ...)", "nejmenší společný násobek"},
    {"curve", "curve(f(x), [a..b], ...)", "graf funkce y = f(x)"},
    {"curve", "curve([x(t), y(t)], [t, a..b], ...)", "rovinná parametrická křivka"},
    {"curve", "curve([x(t), y(t), z(t)], [t, a..b], ...)", "prostorová parametrická křivka"},
    {"surface", "surface(f(x,y), [a..b], [c..d], ...)", "plocha z = f(x, y)"},
    {"icurve", "icurve(F(x,y), [a..b], [c..d], ...)", "implicitní křivka F(x, y) = 0"},
    {"isurface", "isurface(F(x,y,z), [a..b], [c..d], [e..f], ...)",
     "implicitní plocha F(x, y, z) = 0"},
    {"rotsurface", "rotsurface(f(x), [x, a..b], ...)", "rotační plocha křivky y = f(x)"},
    {"line_width", "line_width(w)", "tloušťka čar v pixelech"},
    {"bg_color", "bg_color(r, g, b)", "barva pozadí, složky 0 až 1"},
    {"remove_graph", "remove_graph(id)", "odstraní graf s daným číslem"},
    {"clear_graphs", "clear_graphs", "odstraní všechny grafy"},
    {"remove_user_func", "remove_user_func(jméno)", "odstraní uživatelskou funkci"},
    {"clear_user_funcs", "clear_user_funcs", "odstraní všechny uživatelské funkce"},
};

}  // namespace

std::span<const CallSyntax> callSyntaxTable() {
    return kRows;
}

std::span<const CallSyntax> callSyntaxOf(std::string_view name) {
    const auto* first = std::find_if(std::begin(kRows), std::end(kRows),
                                     [&](const CallSyntax& r) { return r.name == name; });
    const auto* last =
        std::find_if(first, std::end(kRows), [&](const CallSyntax& r) { return r.name != name; });
    return {first, last};
}

std::string callHint(std::string_view name) {
    std::string hint;
    for (const CallSyntax& row : callSyntaxOf(name)) {
        if (!hint.empty()) hint += '\n';
        hint += std::string(row.syntax) + " – " + std::string(row.meaning);
    }
    return hint;
}

}  // namespace kv
