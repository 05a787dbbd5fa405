// The graph of the isurface command: the zero set of F(x, y, z) in a box, as
// a lit mesh. F is sampled on a regular grid; each grid cube is cut into six
// tetrahedra along its main diagonal (the same cut in every cube, so that
// neighbouring cubes share their faces' triangulation and the mesh has no
// cracks), and each tetrahedron through which the zero set passes gets one
// triangle or one quadrilateral between the crossings on its edges. A
// crossing is placed by linear interpolation and refined by regula falsi;
// its normal is the gradient of F (three symbolic partial derivatives),
// normalised. Faces are wound counter-clockwise seen from where F > 0, so
// the front face and the normals point to the positive side: the outside
// of x^2+y^2+z^2-1. A triangle is stored as a quad whose last corner repeats
// its third, so the surfaces' drawing and mesh code serve both.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "engine/CompiledExpr.h"
#include "graphics/GraphObject.h"

namespace kv {

class ImplicitSurfaceGraph : public GraphObject {
  public:
    // Grid lines per unit of length when no num_x / num_y / num_z option is
    // given.
    static constexpr double kLinesPerUnit = 10.0;
    // Fewest grid lines along each variable.
    static constexpr int kMinLines = 2;

  protected:
    bool prepare() override;
    bool buildFrame(int f, FrameGeometry& out) override;
    void finish() override;

  private:
    const ImplicitSurfaceDefinition& isurface() const;

    // F at a point; the variables are left there.
    double valueAt(const double p[3]) const;
    // The samples of grid planes [first, last) (z fixed in each) through the
    // compiled tree.
    void samplePlanes(int first, int last, CompiledExpr::Scratch& scratch, double* row);
    // The position of grid node n.
    void nodePoint(std::int64_t n, double p[3]) const;
    // The index into points_/normals_ of the crossing on the edge between
    // nodes a < b, refined on first use.
    int crossing(std::int64_t a, std::int64_t b);

    // The parsed texts, kept for all frames, and the gradient of F.
    NodePtr f_;
    NodePtr bounds_[6];
    NodePtr counts_[3];
    NodePtr gradient_[3];
    std::unique_ptr<CompiledExpr> compiled_;
    mutable CompiledExpr::Scratch pointScratch_;

    // Working data of one frame: the node positions along each axis, the
    // samples (x fastest, then y, then z), the crossings found so far (by
    // edge) with their points and unit normals.
    std::vector<double> axes_[3];
    std::vector<double> samples_;
    std::unordered_map<std::uint64_t, int> edges_;
    std::vector<Vec3f> points_;
    std::vector<Vec3f> normals_;
};

}  // namespace kv
