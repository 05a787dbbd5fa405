// The typeset layout of every node kind. Each node lays out its children's
// boxes first, then makes a white box just large enough, copies the children
// in and draws its own signs with one-pixel black strokes.
#include "engine/Typeset.h"

#include <algorithm>
#include <cmath>

#include "engine/ExprNode.h"
#include "engine/NumberFormat.h"
#include "engine/Tolerance.h"
#include "engine/Workspace.h"

namespace kv {

namespace {

TypesetBox makeBox(TypesetSurface& s, int width, int height, int axis) {
    TypesetBox box;
    box.width = std::max(width, 0);
    box.height = std::max(height, 0);
    box.axis = axis;
    box.image = s.newImage(box.width, box.height);
    return box;
}

void copyInto(TypesetSurface& s, TypesetBox& target, const TypesetBox& child, int x, int y) {
    if (target.image && child.image) s.copyImage(*target.image, *child.image, x, y);
}

void line(TypesetSurface& s, TypesetBox& box, int x0, int y0, int x1, int y1) {
    if (box.image) s.drawLine(*box.image, x0, y0, x1, y1);
}

void pixel(TypesetSurface& s, TypesetBox& box, int x, int y) {
    if (box.image) s.setPixel(*box.image, x, y);
}

// The curved part of a round parenthesis: 7 pixels at the top, mirrored at the
// bottom. `xs` are the columns inside the 5-pixel strip for rows 0..6.
void parenthesisCurve(TypesetSurface& s, TypesetBox& box, int left, const int (&xs)[7]) {
    for (int y = 0; y < 7; ++y) {
        pixel(s, box, left + xs[y], y);
        pixel(s, box, left + xs[y], box.height - 1 - y);
    }
}

bool isSumLike(Kind k) {
    return k == Kind::Sum || k == Kind::Difference;
}

TypesetBox layoutNumber(TypesetSurface& s, double value);

TypesetBox layout(const ExprNode& n, TypesetSurface& s) {
    return n.typeset(s);
}

// Sum, difference and product: children side by side on a common axis with
// the sign in a cell between them.
TypesetBox operatorLayout(const ExprNode& n, TypesetSurface& s) {
    const Kind k = n.kind();
    const ExprNode& l = leftOf(n);
    const ExprNode& r = rightOf(n);
    TypesetBox L = layout(l, s);
    TypesetBox R = layout(r, s);
    if (k == Kind::Product) {
        if (isSumLike(l.kind())) L = parenthesize(s, std::move(L));
        if (isSumLike(r.kind()) || r.kind() == Kind::Negation) R = parenthesize(s, std::move(R));
    } else {
        bool wrap = r.kind() == Kind::Negation || (k == Kind::Difference && isSumLike(r.kind()));
        if (wrap) R = parenthesize(s, std::move(R));
    }
    const int cw = s.averageCharWidth();
    const int A = std::max(L.axis, R.axis);
    const int height = A + std::max(L.height - L.axis, R.height - R.axis);
    int cell;
    if (k == Kind::Sum)
        cell = cw + 3;
    else if (k == Kind::Difference)
        cell = cw + 2;
    else
        cell = 5;
    TypesetBox box = makeBox(s, L.width + cell + R.width, height, A);
    copyInto(s, box, L, 0, A - L.axis);
    copyInto(s, box, R, L.width + cell, A - R.axis);
    if (k == Kind::Sum) {
        line(s, box, L.width + 2, A, L.width + cw + 1, A);
        int x = L.width + 2 + (cw - 1) / 2;
        int down = (cw - 1) / 2;  // floor
        int up = cw / 2;          // ceil((cw - 1) / 2)
        line(s, box, x, A - down, x, A + up);
    } else if (k == Kind::Difference) {
        line(s, box, L.width + 2, A, L.width + cw, A);
    } else {
        pixel(s, box, L.width + 2, A);
    }
    return box;
}

// Numerator over denominator, centred, with a bar on the axis.
TypesetBox fractionLayout(const ExprNode& n, TypesetSurface& s) {
    TypesetBox U = layout(leftOf(n), s);
    TypesetBox D = layout(rightOf(n), s);
    const int width = std::max(U.width, D.width) + 6;
    TypesetBox box = makeBox(s, width, U.height + D.height + 3, U.height + 1);
    copyInto(s, box, U, width / 2 - U.width / 2, 0);
    line(s, box, 0, U.height + 1, width, U.height + 1);
    copyInto(s, box, D, width / 2 - D.width / 2, U.height + 3);
    return box;
}

// Base with the exponent raised in a font 1.15 times smaller.
TypesetBox powerLayout(const ExprNode& n, TypesetSurface& s) {
    const ExprNode& base = leftOf(n);
    TypesetBox B = layout(base, s);
    switch (base.kind()) {
        case Kind::Sum:
        case Kind::Difference:
        case Kind::Product:
        case Kind::Quotient:
        case Kind::Power:
        case Kind::Negation:
            B = parenthesize(s, std::move(B));
            break;
        default:
            break;
    }
    const int saved = s.fontPixelSize();
    s.setFontPixelSize(std::max(1, static_cast<int>(saved / 1.15)));
    TypesetBox E = layout(rightOf(n), s);
    s.setFontPixelSize(saved);
    const int raise = static_cast<int>(std::ceil(s.fontHeight() / 1.5));
    const int d = std::max(E.height - raise, 0);
    TypesetBox box = makeBox(s, B.width + E.width + 2, d + B.height, B.axis + d);
    copyInto(s, box, B, 0, d);
    copyInto(s, box, E, B.width + 2, 0);
    return box;
}

TypesetBox sqrtLayout(const ExprNode& n, TypesetSurface& s) {
    TypesetBox O = layout(operandOf(n), s);
    const int H = O.height + 2;
    const int a = std::min(H / 3, 10);
    const int width = O.width + a + 6;
    TypesetBox box = makeBox(s, width, H, O.axis + 2);
    const int px[] = {0, a / 4, a / 2, a, width};
    const int py[] = {H * 5 / 8, H / 2, H, 0, 0};
    for (int i = 0; i < 4; ++i) line(s, box, px[i], py[i], px[i + 1], py[i + 1]);
    copyInto(s, box, O, a + 3, 2);
    return box;
}

TypesetBox absLayout(const ExprNode& n, TypesetSurface& s) {
    TypesetBox O = layout(operandOf(n), s);
    TypesetBox box = makeBox(s, O.width + 6, O.height, O.axis);
    line(s, box, 0, 0, 0, O.height);
    line(s, box, O.width + 5, 0, O.width + 5, O.height);
    copyInto(s, box, O, 3, 0);
    return box;
}

TypesetBox negationLayout(const ExprNode& n, TypesetSurface& s) {
    const ExprNode& op = operandOf(n);
    TypesetBox O = layout(op, s);
    if (isSumLike(op.kind()) || op.kind() == Kind::Negation) O = parenthesize(s, std::move(O));
    const int cw = s.averageCharWidth();
    TypesetBox box = makeBox(s, cw + O.width - 1, O.height, O.axis);
    line(s, box, 0, O.axis, cw - 3, O.axis);
    copyInto(s, box, O, cw - 1, 0);
    return box;
}

// A number whose text has an exponent is shown as a power of ten: 1e+020 as
// 10 with a raised 20, 2.5e-007 as 2.5 times 10 with a raised -7.
TypesetBox layoutNumber(TypesetSurface& s, double value) {
    std::string text = formatNumber(value);
    auto e = text.find('e');
    if (e == std::string::npos || !std::isfinite(value)) return textBox(s, text);
    double m = std::strtod(text.substr(0, e).c_str(), nullptr);
    double k = std::strtod(text.substr(e + 1).c_str(), nullptr);
    NodePtr power = std::make_unique<PowerNode>(number(10), number(k));
    if (tol::equal(m, 1)) return power->typeset(s);
    ProductNode product(number(m), std::move(power));
    return product.typeset(s);
}

}  // namespace

TypesetBox textBox(TypesetSurface& s, std::string_view utf8) {
    TextExtent e = s.measureText(utf8);
    TypesetBox box = makeBox(s, e.width, e.height, e.height / 2);
    if (box.image) s.drawText(*box.image, 0, 0, e.width, e.height, utf8);
    return box;
}

TypesetBox parenthesize(TypesetSurface& s, TypesetBox inner, bool square) {
    const int w = inner.width;
    const int h = inner.height;
    TypesetBox box = makeBox(s, w + 10, h, inner.axis);
    const int right = w + 5;
    if (square) {
        line(s, box, 0, 0, 0, h);
        line(s, box, 0, 0, 4, 0);
        line(s, box, 0, h - 1, 4, h - 1);
        line(s, box, right + 4, 0, right + 4, h);
        line(s, box, right + 1, 0, right + 4, 0);
        line(s, box, right + 1, h - 1, right + 4, h - 1);
    } else if (h > 11) {
        // Below 12 pixels the strips stay blank: there is no room for a curve.
        parenthesisCurve(s, box, 0, {3, 2, 1, 1, 0, 0, 0});
        line(s, box, 0, 5, 0, h - 5);
        parenthesisCurve(s, box, right, {1, 2, 3, 3, 4, 4, 4});
        line(s, box, right + 4, 5, right + 4, h - 5);
    }
    copyInto(s, box, inner, 5, 0);
    return box;
}

TypesetBox argumentRow(TypesetSurface& s, std::vector<TypesetBox> boxes) {
    if (boxes.empty()) return makeBox(s, 0, 12, 6);
    int A = 0;
    int depth = 0;
    int widths = 0;
    for (const TypesetBox& b : boxes) {
        A = std::max(A, b.axis);
        depth = std::max(depth, b.height - b.axis);
        widths += b.width;
    }
    const TextExtent comma = s.measureText(",");
    const int cell = comma.width + 3;
    const int n = static_cast<int>(boxes.size());
    TypesetBox row = makeBox(s, widths + (n - 1) * cell, A + depth, A);
    int x = 0;
    for (int i = 0; i < n; ++i) {
        copyInto(s, row, boxes[i], x, A - boxes[i].axis);
        x += boxes[i].width;
        if (i + 1 < n) {
            if (row.image)
                s.drawText(*row.image, x + 1, A - comma.height / 2, cell - 1, comma.height, ",");
            x += cell;
        }
    }
    return row;
}

// The name, then the arguments in parentheses; the name's middle sits on the
// row's axis, and the box grows when the name is the taller of the two.
TypesetBox functionBox(TypesetSurface& s, std::string_view name, std::vector<TypesetBox> args) {
    TypesetBox N = textBox(s, name);
    TypesetBox R = parenthesize(s, argumentRow(s, std::move(args)));
    const int nameTop = R.axis - N.height / 2;
    const int top = std::min(0, nameTop);
    const int bottom = std::max(R.height, nameTop + N.height);
    TypesetBox box = makeBox(s, N.width + R.width + 2, bottom - top, R.axis - top);
    copyInto(s, box, N, 0, nameTop - top);
    copyInto(s, box, R, N.width + 2, -top);
    return box;
}

TypesetBox ExprNode::typeset(TypesetSurface& s) const {
    const Workspace& ws = Workspace::current();
    switch (kind()) {
        case Kind::Number:
            return layoutNumber(s, as<NumberNode>(*this).value);
        case Kind::NIntegrate:
            return layoutNumber(s, as<NIntegrateNode>(*this).lastValue);
        case Kind::Zero:
            return textBox(s, "0");
        case Kind::Variable:
        case Kind::Text:
        case Kind::GraphRef:
            return textBox(s, toText());
        case Kind::Constant: {
            const std::string& name =
                ws.constants.at(static_cast<std::size_t>(as<ConstantNode>(*this).index)).name;
            if (name != "pi") return textBox(s, name);
            TypesetBox box = textBox(s, "\xCF\x80");  // the Greek pi
            box.axis = box.height / 2 + 1;
            return box;
        }
        case Kind::Rnd:
            return textBox(s, "rnd");
        case Kind::Sum:
        case Kind::Difference:
        case Kind::Product:
            return operatorLayout(*this, s);
        case Kind::Quotient:
            return fractionLayout(*this, s);
        case Kind::Power:
            return powerLayout(*this, s);
        case Kind::Sqrt:
            return sqrtLayout(*this, s);
        case Kind::Abs:
            return absLayout(*this, s);
        case Kind::Negation:
            return negationLayout(*this, s);
        case Kind::PlusMinus: {
            std::vector<TypesetBox> args;
            args.push_back(operandOf(*this).typeset(s));
            return functionBox(s, "(+-)", std::move(args));
        }
        case Kind::LogBase: {
            const auto& n = as<LogBaseNode>(*this);
            std::vector<TypesetBox> args;
            args.push_back(n.base->typeset(s));
            args.push_back(n.operand->typeset(s));
            return functionBox(s, "log", std::move(args));
        }
        case Kind::List: {
            std::vector<TypesetBox> items;
            for (const NodePtr& e : as<ListNode>(*this).elements) items.push_back(e->typeset(s));
            if (items.empty()) items.push_back(textBox(s, " "));
            return parenthesize(s, argumentRow(s, std::move(items)), true);
        }
        default: {
            std::vector<TypesetBox> args;
            args.push_back(operandOf(*this).typeset(s));
            return functionBox(s, functionName(kind()), std::move(args));
        }
    }
}

}  // namespace kv
