#include "calendar/astronomy.h"

#include <libnova/lunar.h>
#include <libnova/nutation.h>
#include <libnova/solar.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kJ2000 = 2451545.0;
constexpr double kSynodicMonth = 29.530588861;
// The annual aberration of the Sun, in degrees at one astronomical unit.
constexpr double kAberration = 20.4898 / 3600.0;

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

// Into (-180, 180].
double Wrap180(double degrees) {
    double d = std::fmod(degrees, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d <= -180.0) d += 360.0;
    return d;
}

double TT(double ut) { return ut + DeltaTSeconds(2000.0 + (ut - kJ2000) / 365.25) / 86400.0; }

// Both theories give positions on the ecliptic and equinox of J2000. The Sun's apparent
// longitude of date adds the general precession since then, the nutation and the
// aberration; the Moon's longitude minus the Sun's needs only the aberration, as the rest
// moves both alike.
double ApparentSolarLongitude(double jde) {
    ln_helio_posn sun;
    ln_get_solar_geom_coords(jde, &sun);
    ln_nutation nutation;
    ln_get_nutation(jde, &nutation);
    const double t = (jde - kJ2000) / 36525.0;
    const double precession = (5029.0966 * t + 1.11113 * t * t) / 3600.0;
    return sun.L + precession + nutation.longitude - kAberration / sun.R;
}

double MoonMinusSun(double jde) {
    ln_helio_posn sun;
    ln_get_solar_geom_coords(jde, &sun);
    ln_lnlat_posn moon;
    ln_get_lunar_ecl_coords(jde, &moon, 0.0);
    return Wrap180(moon.lng - sun.L + kAberration / sun.R);
}

// A first estimate of the k-th new moon (TT) from the mean lunation and its largest
// periodic terms; the terms left out add up to less than a quarter of an hour.
double NewMoonEstimate(int k) {
    const double t = k / 1236.85;
    const double m = Radians(2.5534 + 29.10535670 * k);           // Sun's mean anomaly
    const double mm = Radians(201.5643 + 385.81693528 * k);       // Moon's mean anomaly
    const double f = Radians(160.7108 + 390.67050284 * k);        // Moon's argument of latitude
    const double e = 1.0 - 0.002516 * t;
    return 2451550.09766 + kSynodicMonth * k + 0.00015437 * t * t - 0.40720 * std::sin(mm) +
           0.17241 * e * std::sin(m) + 0.01608 * std::sin(2 * mm) + 0.01039 * std::sin(2 * f) +
           0.00739 * e * std::sin(mm - m) - 0.00514 * e * std::sin(mm + m) + 0.00208 * e * e * std::sin(2 * m);
}

// Secant steps on a function that grows by about `rate` per day, from `t0`.
template <class F>
double Root(F f, double t0, double rate) {
    double f0 = f(t0);
    double t1 = t0 - f0 / rate;
    for (int i = 0; i < 20; ++i) {
        const double f1 = f(t1);
        if (f1 == f0) break;
        const double t2 = t1 - f1 * (t1 - t0) / (f1 - f0);
        t0 = t1;
        f0 = f1;
        t1 = t2;
        if (std::abs(t1 - t0) < 1e-6) break;  // a tenth of a second
    }
    return t1;
}

}  // namespace

double DeltaTSeconds(double y) {
    if (y < 1800.0 || y >= 2150.0) {
        const double u = (y - 1820.0) / 100.0;
        return -20.0 + 32.0 * u * u;
    }
    if (y < 1860.0) {
        const double t = y - 1800.0;
        return 13.72 - 0.332447 * t + 0.0068612 * t * t + 0.0041116 * std::pow(t, 3) - 0.00037436 * std::pow(t, 4) +
               0.0000121272 * std::pow(t, 5) - 0.0000001699 * std::pow(t, 6) + 0.000000000875 * std::pow(t, 7);
    }
    if (y < 1900.0) {
        const double t = y - 1860.0;
        return 7.62 + 0.5737 * t - 0.251754 * t * t + 0.01680668 * std::pow(t, 3) - 0.0004473624 * std::pow(t, 4) +
               std::pow(t, 5) / 233174.0;
    }
    if (y < 1920.0) {
        const double t = y - 1900.0;
        return -2.79 + 1.494119 * t - 0.0598939 * t * t + 0.0061966 * std::pow(t, 3) - 0.000197 * std::pow(t, 4);
    }
    if (y < 1941.0) {
        const double t = y - 1920.0;
        return 21.20 + 0.84493 * t - 0.076100 * t * t + 0.0020936 * std::pow(t, 3);
    }
    if (y < 1961.0) {
        const double t = y - 1950.0;
        return 29.07 + 0.407 * t - t * t / 233.0 + std::pow(t, 3) / 2547.0;
    }
    if (y < 1986.0) {
        const double t = y - 1975.0;
        return 45.45 + 1.067 * t - t * t / 260.0 - std::pow(t, 3) / 718.0;
    }
    if (y < 2005.0) {
        const double t = y - 2000.0;
        return 63.86 + 0.3345 * t - 0.060374 * t * t + 0.0017275 * std::pow(t, 3) + 0.000651814 * std::pow(t, 4) +
               0.00002373599 * std::pow(t, 5);
    }
    if (y < 2050.0) {
        const double t = y - 2000.0;
        return 62.92 + 0.32217 * t + 0.005589 * t * t;
    }
    const double u = (y - 1820.0) / 100.0;
    return -20.0 + 32.0 * u * u - 0.5628 * (2150.0 - y);
}

double NewMoonUT(int k) {
    const double estimate = NewMoonEstimate(k);
    // The Moon gains about 12.19 degrees a day on the Sun.
    const double jde = Root(MoonMinusSun, estimate, 12.19);
    return jde - DeltaTSeconds(2000.0 + (jde - kJ2000) / 365.25) / 86400.0;
}

int NewMoonJstDay(int k) {
    const double jde = NewMoonEstimate(k);
    const double local = jde - DeltaTSeconds(2000.0 + (jde - kJ2000) / 365.25) / 86400.0 + 0.5 + 9.0 / 24.0;
    const double hours = (local - std::floor(local)) * 24.0;
    if (hours > 1.0 && hours < 23.0) return static_cast<int>(std::floor(local));
    return JstDay(NewMoonUT(k));
}

int NearestLunation(double ut) { return static_cast<int>(std::lround((ut - 2451550.09766) / kSynodicMonth)); }

double SolarLongitudeUT(double longitude, double guessUT) {
    auto offset = [longitude](double jde) { return Wrap180(ApparentSolarLongitude(jde) - longitude); };
    const double jde = Root(offset, TT(guessUT), 360.0 / 365.2422);
    return jde - DeltaTSeconds(2000.0 + (jde - kJ2000) / 365.25) / 86400.0;
}

int JstDay(double ut) { return static_cast<int>(std::floor(ut + 0.5 + 9.0 / 24.0)); }
