// A plot's parameters as the command gave them: expressions and bounds are
// kept as text and parsed by the graph object when it builds. One class per
// plot command; the fields and their defaults are the ones the command
// options fill (GraphDefinitionReader.h).
#pragma once

#include <string>
#include <vector>

namespace kv {

// The kind codes of the definitions (2 is not used).
enum class GraphKind : int { Curve = 0, ImplicitCurve = 1, Surface = 3, ImplicitSurface = 4 };

// How lit surfaces are shaded; chosen in the scene's shading menu.
enum class ShadeModel : int { Smooth, Flat };

struct Range {
    double lo = 0.0;
    double hi = 0.0;
};

struct Color {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

class GraphDefinition {
  public:
    virtual ~GraphDefinition() = default;
    GraphDefinition(const GraphDefinition&) = delete;
    GraphDefinition& operator=(const GraphDefinition&) = delete;

    const GraphKind kind;
    // A clipping range was given for that axis (options x=, y=, z=).
    bool clip_x = false;
    bool clip_y = false;
    bool clip_z = false;
    Range x_range;
    Range y_range;
    Range z_range;
    // Step of the definition-domain search.
    double h = 0.1;
    // Sample only where the expressions are defined.
    bool check_def = false;
    // At least one anim option was given.
    bool animated = false;
    // No sample-count option was given: the count follows from the interval.
    bool auto_nlines = true;
    ShadeModel shade_model = ShadeModel::Smooth;
    // The animated variables (variable rows) and their bound texts, in the
    // order of the anim options. A row of -1 stands for an anim option
    // without a variable name; building refuses it.
    std::vector<int> anim_vars;
    std::vector<std::string> anim_from;
    std::vector<std::string> anim_to;
    int nframes;
    // Timer period of the animation, in milliseconds.
    int frame_time = 71;
    // The user's identifier; -1 when not given.
    int id = -1;

  protected:
    GraphDefinition(GraphKind k, int frames) : kind(k), nframes(frames) {}
};

class CurveDefinition : public GraphDefinition {
  public:
    CurveDefinition() : GraphDefinition(GraphKind::Curve, 2) {}
    std::string x_expr;
    std::string y_expr;
    std::string z_expr = "0";
    std::string param_lo;
    std::string param_hi;
    int param_var = -1;
    std::string nlines = "0";
    Color color{0.0, 0.0, 0.0};
};

// The colours of a lit mesh (surface, implicit surface): its two sides and
// its wireframe.
struct MeshColors {
    Color front_color{1.0, 0.0, 0.0};
    Color back_color{0.0, 0.0, 1.0};
    Color wire_color{0.0, 0.0, 0.0};
};

class SurfaceDefinition : public GraphDefinition, public MeshColors {
  public:
    SurfaceDefinition() : GraphDefinition(GraphKind::Surface, 2) {}
    // The names of the two free variables, as text, and the height.
    std::string x_expr;
    std::string y_expr;
    std::string z_expr;
    std::string x_lo;
    std::string x_hi;
    std::string y_lo;
    std::string y_hi;
    int x_var = -1;
    int y_var = -1;
    std::string nlines_x = "0";
    std::string nlines_y = "0";
    // A surface of revolution (rotsurface): the curve at the distance
    // `radius` (a text in x_var) from the axis, turned by the angle y_var.
    // The component along the axis is x_expr (about x) or y_expr (about y);
    // the other two are built from the radius, not read from text.
    enum class Revolution { None, AboutX, AboutY };
    Revolution revolution = Revolution::None;
    std::string radius;
};

class ImplicitCurveDefinition : public GraphDefinition {
  public:
    ImplicitCurveDefinition() : GraphDefinition(GraphKind::ImplicitCurve, 1) {}
    std::string expr;
    std::string x_lo;
    std::string x_hi;
    std::string y_lo;
    std::string y_hi;
    int x_var = -1;
    int y_var = -1;
    // Regula falsi steps per crossing.
    int iters = 10;
    std::string num_x = "2";
    std::string num_y = "2";
    Color color{0.0, 0.0, 0.0};
};

// The zero set of expr(x, y, z) in a box (isurface); front_color is the side
// where expr is positive (the outside of a closed surface like
// x^2+y^2+z^2-1), back_color the other.
class ImplicitSurfaceDefinition : public GraphDefinition, public MeshColors {
  public:
    ImplicitSurfaceDefinition() : GraphDefinition(GraphKind::ImplicitSurface, 2) {}
    std::string expr;
    std::string x_lo;
    std::string x_hi;
    std::string y_lo;
    std::string y_hi;
    std::string z_lo;
    std::string z_hi;
    int x_var = -1;
    int y_var = -1;
    int z_var = -1;
    // Regula falsi steps per crossing.
    int iters = 10;
    std::string num_x = "2";
    std::string num_y = "2";
    std::string num_z = "2";
};

}  // namespace kv
