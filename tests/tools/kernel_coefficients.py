#!/usr/bin/env python3
"""Derives the polynomial coefficients and the log table of the vector kernels
(tolvaran/engine/kernel_body.h) and bounds their approximation errors.

Needs python3-mpmath. Prints C++ constants and the error figures quoted in the
kernel's comments. Run: python3 tests/tools/kernel_coefficients.py
"""
import mpmath as mp

mp.mp.dps = 60


def remez(g, w, a, b, degree, iterations=40, grid=4000):
    """Minimax polynomial P of the given degree for max |w(x) (g(x) - P(x))| on [a, b]."""
    n = degree + 2
    xs = [(a + b) / 2 - (b - a) / 2 * mp.cos(mp.pi * i / (n - 1)) for i in range(n)]
    # keep the reference points off a zero of the weight
    xs = [min(max(x, a + (b - a) * mp.mpf('1e-9')), b) for x in xs]
    coeffs = None
    for _ in range(iterations):
        M = mp.matrix(n, n)
        rhs = mp.matrix(n, 1)
        for i, x in enumerate(xs):
            for j in range(degree + 1):
                M[i, j] = w(x) * x ** j
            M[i, degree + 1] = (-1) ** i
            rhs[i] = w(x) * g(x)
        sol = mp.lu_solve(M, rhs)
        coeffs = [sol[j] for j in range(degree + 1)]

        def err(x):
            return w(x) * (g(x) - sum(c * x ** j for j, c in enumerate(coeffs)))

        pts = [a + (b - a) * i / grid for i in range(grid + 1)]
        vals = [err(x) for x in pts]
        # extrema of alternating sign, one per sign run, including the ends
        ext = []
        i = 0
        while i <= grid:
            s = mp.sign(vals[i])
            j = i
            best = i
            while j <= grid and mp.sign(vals[j]) == s:
                if abs(vals[j]) > abs(vals[best]):
                    best = j
                j += 1
            ext.append(pts[best])
            i = j
        if len(ext) < n:
            break
        # keep the n consecutive extrema with the largest smallest magnitude
        if len(ext) > n:
            bestk, bestv = 0, -1
            for k in range(len(ext) - n + 1):
                v = min(abs(err(x)) for x in ext[k:k + n])
                if v > bestv:
                    bestk, bestv = k, v
            ext = ext[bestk:bestk + n]
        xs = ext
    return coeffs


def max_error(f, a, b, grid=200000):
    """Largest |f| on a dense grid, refined around the largest samples."""
    pts = [a + (b - a) * i / grid for i in range(grid + 1)]
    vals = [abs(f(x)) for x in pts]
    order = sorted(range(len(vals)), key=lambda i: -vals[i])[:20]
    best = max(vals)
    h = (b - a) / grid
    for i in order:
        lo, hi = max(a, pts[i] - h), min(b, pts[i] + h)
        for k in range(201):
            x = lo + (hi - lo) * k / 200
            best = max(best, abs(f(x)))
    return best


def as_double(x):
    return float(x)


def hexd(x):
    return float(x).hex()


# ---- cosine on |r| <= R: cos r ~ 1 + s P(s), s = r^2, absolute error ----
R = mp.pi / 2 + mp.mpf(2) ** -20
S = R * R


def g_cos(s):
    if s < mp.mpf('1e-30'):
        return mp.mpf(-1) / 2
    r = mp.sqrt(s)
    return (mp.cos(r) - 1) / s


cos_deg = 7
cc = remez(g_cos, lambda s: s, mp.mpf(0), S, cos_deg)
ccd = [as_double(c) for c in cc]


def cos_poly_err(r):
    s = r * r
    p = sum(mp.mpf(c) * s ** j for j, c in enumerate(ccd))
    return mp.cos(r) - (1 + s * p)


cos_approx = max_error(cos_poly_err, mp.mpf(0), R, grid=20000)
print("// cos: |r| <= pi/2 + 2^-20, cos r ~ 1 + s*P(s), s = r*r")
for j, c in enumerate(ccd):
    print(f"COS_C{2 * j + 2} = {hexd(c)}  // {c!r}")
print(f"// cos approximation error (double coefficients): {mp.nstr(cos_approx, 5)}")

# ---- sine on |r| <= R: sin r ~ r + r s P(s), s = r^2, absolute error ----
def g_sin(s):
    if s < mp.mpf('1e-30'):
        return mp.mpf(-1) / 6
    r = mp.sqrt(s)
    return (mp.sin(r) - r) / (r * s)


sin_deg = 7
sc = remez(g_sin, lambda s: s * mp.sqrt(s), mp.mpf(0), S, sin_deg)
scd = [as_double(c) for c in sc]


def sin_poly_err(r):
    s = r * r
    p = sum(mp.mpf(c) * s ** j for j, c in enumerate(scd))
    return mp.sin(r) - (r + r * s * p)


sin_approx = max_error(sin_poly_err, mp.mpf(0), R, grid=20000)
print("// sin: |r| <= pi/2 + 2^-20, sin r ~ r + r*s*P(s), s = r*r")
for j, c in enumerate(scd):
    print(f"SIN_C{2 * j + 3} = {hexd(c)}  // {c!r}")
print(f"// sin approximation error (double coefficients): {mp.nstr(sin_approx, 5)}")

# ---- log table: z in [Z0, 2 Z0), 16 cells from the top four bits of (bits(u) - bits(Z0)) ----
Z0 = mp.mpf('0.703125')
cells = []
for i in range(16):
    # the cell is the set of z whose (bits(z) - bits(Z0)) >> 48 & 15 equals i
    lo_t = mp.mpf(i) / 16
    hi_t = mp.mpf(i + 1) / 16
    # tmp / 2^52 = 2 z - 2 Z0 below 1, z - 2 Z0 + 1 from 1 on
    def z_of(t):
        z = Z0 + t / 2
        if z < 1:
            return z
        return t + 2 * Z0 - 1
    a, b = z_of(lo_t), z_of(hi_t)
    if i == 9:
        a = Z0 + lo_t / 2
        b = hi_t + 2 * Z0 - 1
    cells.append((a, b))
inv = []
logc = []
rmin, rmax = mp.mpf(0), mp.mpf(0)
for i, (a, b) in enumerate(cells):
    if a <= 1 < b:
        iv = 1.0
    else:
        iv = as_double(2 / (a + b))
    inv.append(iv)
    logc.append(as_double(-mp.log(mp.mpf(iv))))
    rmin = min(rmin, a * mp.mpf(iv) - 1)
    rmax = max(rmax, b * mp.mpf(iv) - 1)
print("// log cells (a, b, inv, -log inv)")
for i, (a, b) in enumerate(cells):
    print(f"//  {i:2d} [{mp.nstr(a, 8)}, {mp.nstr(b, 8)})  inv {inv[i]!r}  L {logc[i]!r}")
print("LOG_INV = {" + ", ".join(hexd(v) for v in inv) + "}")
print("LOG_L = {" + ", ".join(hexd(v) for v in logc) + "}")
print(f"// r range: [{mp.nstr(rmin, 8)}, {mp.nstr(rmax, 8)}]")

RL0 = rmin - mp.mpf(2) ** -40
RL1 = rmax + mp.mpf(2) ** -40


def g_log(r):
    if abs(r) < mp.mpf('1e-30'):
        return mp.mpf(-1) / 2
    return (mp.log1p(r) - r) / (r * r)


def w_log(r):
    # absolute error; its relative form is measured below
    return r * r


log_deg = 6
lc = remez(g_log, w_log, RL0, RL1, log_deg)
lcd = [as_double(c) for c in lc]


def log_poly_rel(r):
    if r == 0:
        return mp.mpf(0)
    q = sum(mp.mpf(c) * r ** j for j, c in enumerate(lcd))
    return (mp.log1p(r) - (r + r * r * q)) / mp.log1p(r)


log_approx = max_error(log_poly_rel, RL0, RL1, grid=20000)
log_approx_abs = max_error(lambda r: log_poly_rel(r) * mp.log1p(r), RL0, RL1, grid=20000)
print("// log1p: r in the range above, log1p r ~ r + r*r*Q(r), relative error")
for j, c in enumerate(lcd):
    print(f"LOG_C{j + 2} = {hexd(c)}  // {c!r}")
print(f"// log1p approximation error (double coefficients): relative {mp.nstr(log_approx, 5)}, absolute {mp.nstr(log_approx_abs, 5)}")
print(f"// LN2 = {hexd(mp.log(2))}, |LN2 - ln2| = {mp.nstr(abs(mp.mpf(float(mp.log(2))) - mp.log(2)), 5)}")
P1 = float(mp.pi)
P2 = float(mp.pi - P1)
tail = abs(mp.pi - P1 - P2)
print(f"// PI1 = {hexd(P1)}, PI2 = {hexd(P2)}, |pi - PI1 - PI2| = {mp.nstr(tail, 5)}")
print(f"// INV_PI = {hexd(1 / mp.pi)}")
