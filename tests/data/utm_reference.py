# Independent UTM reference for tests/codec/utm_test.cpp: Krueger n-series to order n^6
# (Karney 2011), WGS-84. Run: python3 tests/data/utm_reference.py
import math
a=6378137.0; f=1/298.257223563
n=f/(2-f)
A=a/(1+n)*(1+n**2/4+n**4/64+n**6/256)
al=[None,
 n/2-2*n**2/3+5*n**3/16+41*n**4/180-127*n**5/288+7891*n**6/37800,
 13*n**2/48-3*n**3/5+557*n**4/1440+281*n**5/630-1983433*n**6/1935360,
 61*n**3/240-103*n**4/140+15061*n**5/26880+167603*n**6/181440,
 49561*n**4/161280-179*n**5/168+6601661*n**6/7257600,
 34729*n**5/80640-3418889*n**6/1995840,
 212378941*n**6/319334400]
e=math.sqrt(f*(2-f))
def utm(lat,lon,zone):
    phi=math.radians(lat); lam=math.radians(lon-(6*zone-183))
    t=math.sinh(math.atanh(math.sin(phi))-e*math.atanh(e*math.sin(phi)))
    xi=math.atan2(t,math.cos(lam)); eta=math.atanh(math.sin(lam)/math.sqrt(1+t*t))
    x=eta+sum(al[j]*math.cos(2*j*xi)*math.sinh(2*j*eta) for j in range(1,7))
    y=xi+sum(al[j]*math.sin(2*j*xi)*math.cosh(2*j*eta) for j in range(1,7))
    E=0.9996*A*x+500000; N=0.9996*A*y
    if N<0: N+=10000000
    return E,N
pts=[(0,3,31),(45,9,32),(45,10,32),(45,11.999,32),(45,12.001,33),(-33.8568,151.2153,56),
     (-22.9068,-43.1729,23),(38.8895,-77.0353,18),(51.4779,-0.0015,30),(51.4779,0.0015,31),
     (40.0,-6.0005,29),(40.0,-5.9995,30),(-0.0001,3,31),(-45,-3.0005,30),(-45,-2.9995,30),(78.2232,15.6267,33),(-79.9,-179.9,1)]
for lat,lon,z in pts:
    E,N=utm(lat,lon,z); print("{ %r, %r, %d, %.4f, %.4f },"%(lat,lon,z,E,N))
