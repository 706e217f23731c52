#include "vq_evaluator.h"

#include "vq_error.h"
#include "vq_procedures.h"
#include "vq_stream_shape.h"

namespace vq_rt {

Evaluation::Evaluation() = default;
Evaluation::Evaluation(const Evaluation&) = default;
Evaluation& Evaluation::operator=(const Evaluation&) = default;
Evaluation::~Evaluation() = default;

namespace {

// The tree of one stream, nodes in post-order (operands before their
// operator), so a reverse walk visits every operator before its operands.
struct Tree {
  struct Node {
    int op = 0;  // 0 for a leaf
    int left = -1, right = -1;
    int reference = -1;  // index into references for a reference leaf
    double value = 0.0;
  };
  std::vector<Node> nodes;
  std::vector<VQ_VarParam*> references;
};

class Parser {
 public:
  Parser(const Stream& stream, size_t first, size_t end) : m_Stream(stream), m_Read(stream, first, end) {}

  // The tokens are known to form one tree (CheckShape).
  Tree Parse() {
    Tree tree;
    // Explicit stack instead of recursion: a hand-made stream can be deep.
    struct Pending {
      int op;
      int needed;
      int operands[2];
      int have;
    };
    std::vector<Pending> stack;
    int done = -1;
    while (true) {
      StreamToken token;
      if (!m_Read.Next(token)) Raise("malformed stream: it ends before its tree does");
      int node = -1;
      if (token.kind() == StreamToken::Kind::Operator) {
        stack.push_back(Pending{token.op(), Arity(token.op()), {-1, -1}, 0});
        continue;
      }
      Tree::Node leaf;
      if (token.kind() == StreamToken::Kind::Integer) {
        leaf.value = token.integer();
      } else if (token.kind() == StreamToken::Kind::Real) {
        leaf.value = m_Stream.Real(token);
      } else {
        leaf.reference = static_cast<int>(tree.references.size());
        tree.references.push_back(token.reference());
        leaf.value = token.reference()->Real();
      }
      tree.nodes.push_back(leaf);
      node = static_cast<int>(tree.nodes.size()) - 1;
      // Close every operator that this operand completes.
      while (true) {
        if (stack.empty()) {
          done = node;
          break;
        }
        Pending& top = stack.back();
        top.operands[top.have++] = node;
        if (top.have < top.needed) break;
        Tree::Node op;
        op.op = top.op;
        op.left = top.operands[0];
        op.right = top.operands[1];
        double a = tree.nodes[static_cast<size_t>(op.left)].value;
        double b = op.right >= 0 ? tree.nodes[static_cast<size_t>(op.right)].value : 0.0;
        switch (op.op) {
          case EOp_Add: op.value = a + b; break;
          case EOp_Subtract: op.value = a - b; break;
          case EOp_Multiply: op.value = a * b; break;
          case EOp_Divide: op.value = a / b; break;
          case EOp_Square: op.value = a * a; break;
          case EOp_Code1: op.value = a; break;
        }
        tree.nodes.push_back(op);
        node = static_cast<int>(tree.nodes.size()) - 1;
        stack.pop_back();
      }
      if (done >= 0) break;
    }
    return tree;
  }

 private:
  const Stream& m_Stream;
  Stream::Reader m_Read;
};

}  // namespace

Evaluation Evaluate(const Stream& stream, size_t first, size_t count) {
  CheckShape(stream, first, count);
  Tree tree = Parser(stream, first, first + count).Parse();
  Evaluation result;
  result.residual = tree.nodes.back().value;
  result.references = tree.references;
  result.partials.assign(tree.references.size(), 0.0);
  std::vector<double> adjoint(tree.nodes.size(), 0.0);
  adjoint.back() = 1.0;
  for (size_t i = tree.nodes.size(); i-- > 0;) {
    const Tree::Node& node = tree.nodes[i];
    double g = adjoint[i];
    if (node.op == 0) {
      if (node.reference >= 0) result.partials[static_cast<size_t>(node.reference)] += g;
      continue;
    }
    auto l = static_cast<size_t>(node.left);
    double a = tree.nodes[l].value;
    double b = node.right >= 0 ? tree.nodes[static_cast<size_t>(node.right)].value : 0.0;
    switch (node.op) {
      case EOp_Add:
        adjoint[l] += g;
        adjoint[static_cast<size_t>(node.right)] += g;
        break;
      case EOp_Subtract:
        adjoint[l] += g;
        adjoint[static_cast<size_t>(node.right)] -= g;
        break;
      case EOp_Multiply:
        adjoint[l] += g * b;
        adjoint[static_cast<size_t>(node.right)] += g * a;
        break;
      case EOp_Divide:
        adjoint[l] += g / b;
        adjoint[static_cast<size_t>(node.right)] -= g * a / (b * b);
        break;
      case EOp_Square:
        adjoint[l] += 2.0 * a * g;
        break;
      case EOp_Code1:
        adjoint[l] += g;
        break;
    }
  }
  return result;
}

namespace {

Evaluation EvaluateProcedure(const ContainerState& state, const EmittedEquation& equation,
                             const ProcedureExpression& expression) {
  VQ_ProcedureType& procedure = *expression.procedure;
  const char* name = state.EquationName(equation);
  const int outputs = procedure.OutputValueCount();
  const int output = expression.output - 1;
  if (output < 0 || output >= outputs)
    Raise("%s: output %d of procedure %s, which has %d", name, expression.output, procedure.Name(), outputs);
  Evaluation result;
  StreamToken token;
  for (Stream::Reader read(state.stream, equation.firstToken, equation.firstToken + state.StreamLength(equation));
       read.Next(token);) {
    if (token.kind() != StreamToken::Kind::Reference) Raise("%s: a procedure equation holds a constant", name);
    result.references.push_back(token.reference());
  }
  std::vector<double> residuals(static_cast<size_t>(outputs), 0.0);
  int n = 0;
  int status = procedure.Residuals(residuals.data(), n);
  if (status < 0) Raise("%s: procedure %s failed with status %d: %s", name, procedure.Name(), status, procedure.ErrorText());
  // Room for every input element in every row, whatever is a solver
  // variable now.
  const size_t widest = 1 + static_cast<size_t>(procedure.InputElementCount());
  std::vector<double> rows(static_cast<size_t>(outputs) * widest, 0.0);
  n = 0;
  status = procedure.Jacobian(rows.data(), n);
  if (status < 0) Raise("%s: procedure %s failed with status %d: %s", name, procedure.Name(), status, procedure.ErrorText());
  if (n % outputs != 0 || static_cast<size_t>(n / outputs) != result.references.size())
    Raise("%s: procedure %s gave %d Jacobian entries for %d output(s) where %zu references were emitted per row",
          name, procedure.Name(), n, outputs, result.references.size());
  const size_t width = result.references.size();
  result.residual = residuals[static_cast<size_t>(output)];
  result.partials.assign(rows.begin() + static_cast<long>(static_cast<size_t>(output) * width),
                         rows.begin() + static_cast<long>(static_cast<size_t>(output + 1) * width));
  return result;
}

}  // namespace

Evaluation Evaluate(const ContainerState& state, const EmittedEquation& equation) {
  if (const ProcedureExpression* expression = state.ProcedureOf(equation))
    return EvaluateProcedure(state, equation, *expression);
  return Evaluate(state.stream, equation.firstToken, state.StreamLength(equation));
}

}  // namespace vq_rt
